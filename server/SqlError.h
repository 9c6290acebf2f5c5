// The one failure type of the database service: a statement that cannot be
// translated, is refused (it would change data) or fails in the database, a
// database that does not exist, a method or parameter shape the service does
// not know. The text is what the caller shows to the user.
#pragma once

#include "Exceptions.h"

namespace server {

class SqlError : public plat::Exception {
public:
    using plat::Exception::Exception;
};

// A statement that would change the database; nothing was run.
class SqlRefused : public SqlError {
public:
    using SqlError::SqlError;
};

}  // namespace server
