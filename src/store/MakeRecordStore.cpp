// Makes the empty record store that ships with the program.
#include "store/RecordStoreSchema.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.db\n", argv[0]);
        return 2;
    }
    std::error_code ignored;
    std::filesystem::remove(argv[1], ignored);
    const std::string error = vorelle::CreateEmptyRecordStore(argv[1]);
    if (!error.empty()) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
        return 1;
    }
    return 0;
}
