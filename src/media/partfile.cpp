#include "partfile.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

PartFile::~PartFile()
{
    discard();
}

// False when another process holds the lock. A file system without locks (some network
// shares) is written unlocked rather than not at all.
static bool lock(int fd)
{
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
}

PartFile::Opened PartFile::open(const QString& path)
{
    discard();
    m_path = path;
    m_size = 0;
    m_error.clear();
    const QByteArray name = QFile::encodeName(path);

    // O_NONBLOCK: a FIFO planted under the name must not hold the program until a reader comes.
    int fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        struct stat st;
        // A hard link would make the append land in another file too.
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_nlink == 1
            && st.st_uid == ::geteuid()) {
            if (!lock(fd)) {
                ::close(fd);
                return Opened::Busy;
            }
            m_fd = fd;
            m_size = st.st_size;
            return Opened::Leftover;
        }
        ::close(fd);
    }
    if (fd >= 0 || errno != ENOENT)
        ::unlink(name.constData());

    // O_EXCL: whatever took the name meanwhile is neither followed nor written into.
    fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (errno == EEXIST)
            return Opened::Busy;
        fail();
        return Opened::Failed;
    }
    if (!lock(fd)) {
        // Another download found it empty and took it first: it is theirs now.
        ::close(fd);
        return Opened::Busy;
    }
    m_fd = fd;
    return Opened::Fresh;
}

bool PartFile::continues(const PartRecord& wanted) const
{
    return isOpen() && wanted.isResumable() && m_size > 0 && m_size < wanted.size
        && PartRecord::read(recordPath()) == wanted;
}

bool PartFile::restart(const PartRecord& wanted)
{
    if (m_size > 0 && !truncate())
        return false;
    // Whatever record is there was about what the file held before.
    return wanted.isResumable() ? wanted.write(recordPath(), &m_error)
                                : PartRecord::remove(recordPath(), &m_error);
}

void PartFile::dropRecord()
{
    PartRecord::remove(recordPath());
}

bool PartFile::truncate()
{
    if (::ftruncate(m_fd, 0) != 0)
        return fail();
    m_size = 0;
    return true;
}

bool PartFile::write(const char* data, qint64 length)
{
    while (length > 0) {
        const ssize_t done = ::write(m_fd, data, size_t(length));
        if (done < 0) {
            if (errno == EINTR)
                continue;
            return fail();
        }
        data += done;
        length -= done;
        m_size += done;
    }
    return true;
}

bool PartFile::close()
{
    if (m_fd < 0)
        return true;
    // Even EINTR leaves the descriptor closed on Linux, and the data's fate unknown.
    const int result = ::close(m_fd);
    m_fd = -1;
    return result == 0 || fail();
}

void PartFile::discard()
{
    if (m_fd < 0)
        return;
    // Removed while still locked: another download never opens a file on its way out.
    PartRecord::remove(recordPath());
    ::unlink(QFile::encodeName(m_path).constData());
    ::close(m_fd);
    m_fd = -1;
    m_size = 0;
}

bool PartFile::fail()
{
    m_error = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}
