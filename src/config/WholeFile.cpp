#include "config/WholeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vorelle {

WholeFileWriter::WholeFileWriter(const std::filesystem::path& file)
    : file_(file), temporary_(file.string() + ".XXXXXX")
{
    // mkostemp creates the file for its owner only.
    fd_ = mkostemp(temporary_.data(), O_CLOEXEC);
    if (fd_ < 0) {
        temporary_.clear();
        Fail(errno);
    }
}

WholeFileWriter::~WholeFileWriter()
{
    if (fd_ >= 0)
        close(fd_);
    if (!committed_ && !temporary_.empty())
        unlink(temporary_.c_str());
}

bool WholeFileWriter::Fail(int error)
{
    if (error_.empty())
        error_ = file_.string() + ": " + std::strerror(error);
    return false;
}

bool WholeFileWriter::Write(std::string_view text)
{
    while (Ok() && !text.empty()) {
        const ssize_t wrote = write(fd_, text.data(), text.size());
        if (wrote > 0)
            text.remove_prefix(static_cast<std::size_t>(wrote));
        else if (wrote == 0 || errno != EINTR)
            Fail(wrote == 0 ? EIO : errno);
    }
    return Ok();
}

bool WholeFileWriter::Commit(std::filesystem::perms mode)
{
    if (!Ok())
        return false;
    if (fsync(fd_) != 0 || fchmod(fd_, static_cast<mode_t>(mode)) != 0)
        return Fail(errno);
    const int closed = close(fd_);
    fd_ = -1;
    if (closed != 0)
        return Fail(errno);
    if (std::rename(temporary_.c_str(), file_.c_str()) != 0)
        return Fail(errno);
    committed_ = true;
    return true;
}

}  // namespace vorelle
