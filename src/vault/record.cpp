#include "vault/record.h"

namespace vault {

std::string& Record::value(Field f) {
    switch (f) {
    case Field::Url: return url;
    case Field::User: return user;
    case Field::Password: return password;
    case Field::Stamp: break;
    }
    return stamp;
}

const std::string& Record::value(Field f) const { return const_cast<Record*>(this)->value(f); }

bool Record::same_stored(const Record& other) const {
    if (name != other.name || value_count != other.value_count) return false;
    for (int i = 0; i < value_count; ++i) {
        if (value(Field(i)) != other.value(Field(i))) return false;
    }
    return true;
}

} // namespace vault
