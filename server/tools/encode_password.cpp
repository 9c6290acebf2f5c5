// ortk-encode-password: prints the encoded form of a database password for
// the "Password" entry of CorvaneS.ini ("ENC1:..."). The password is read
// from the first line of standard input, so that it never shows in a
// process list or a shell history:
//
//   printf '%s\n' 'secret' | ortk-encode-password
#include <iostream>
#include <string>

#include "host/CorvaneIni.h"

int main() {
    std::string password;
    if (!std::getline(std::cin, password)) {
        std::cerr << "usage: printf '%s\\n' PASSWORD | ortk-encode-password\n";
        return 2;
    }
    if (!password.empty() && password.back() == '\r') password.pop_back();
    std::cout << EncodePassword(password) << "\n";
    return 0;
}
