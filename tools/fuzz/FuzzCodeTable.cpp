// Fuzz target: the table-driven GB/Big5 conversion over arbitrary bytes.
// Neither direction may crash, read outside its input, or grow a text by
// more than one byte per input byte (the euro byte is the only single byte
// that becomes two); a text of plain ASCII comes back as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "Dialogs.h"
#include "lang/CodeTable.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // A missing table file is reported with a message box: record it instead.
    plat::SetDialogPresenter(std::make_shared<plat::ScriptedDialogs>());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string big5 = GbToBig5(text);
    const std::string gb = Big5ToGb(text);
    if (big5.size() > 2 * text.size() || gb.size() > text.size()) std::abort();
    bool ascii = true;
    for (unsigned char c : text) ascii = ascii && c < 0x80;
    if (ascii && (big5 != text || gb != text)) std::abort();
    // And back again, through both tables.
    (void)Big5ToGb(big5);
    (void)GbToBig5(gb);
    return 0;
}
