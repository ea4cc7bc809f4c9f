#include "model/StoredFields.h"

const char* const kStoredFieldSeparator = "||";

std::vector<std::string> SplitStoredFields(const std::string& stored, std::size_t count) {
    const std::string separator = kStoredFieldSeparator;
    std::vector<std::string> fields(count);
    std::string::size_type start = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string::size_type end = stored.find(separator, start);
        if (end == std::string::npos) {
            break;
        }
        fields[i] = stored.substr(start, end - start);
        start = end + separator.size();
    }
    return fields;
}
