#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vorelle {

// A file written whole or not at all, however long: the text goes into a
// temporary file beside it that only its owner can read; Commit makes it
// durable, gives it its permissions and renames it over the file, so that a
// reader sees the old file or the new one, never a mixture, and a secret
// never lies readable in between. Dropped without a commit, or after any
// failure, the temporary file goes and the file is as it was.
class WholeFileWriter {
public:
    explicit WholeFileWriter(const std::filesystem::path& file);
    ~WholeFileWriter();
    WholeFileWriter(const WholeFileWriter&) = delete;
    WholeFileWriter& operator=(const WholeFileWriter&) = delete;

    // False once anything has failed, from the making of the temporary file
    // on; Error() then gives the system's reason.
    bool Ok() const { return error_.empty(); }
    bool Write(std::string_view text);
    bool Commit(std::filesystem::perms mode);
    const std::string& Error() const { return error_; }

private:
    bool Fail(int error);

    std::filesystem::path file_;
    std::string temporary_;
    int fd_ = -1;
    bool committed_ = false;
    std::string error_;
};

}  // namespace vorelle
