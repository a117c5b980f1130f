#pragma once

#include <cerrno>
#include <unistd.h>

// A file descriptor closed when it goes out of scope; Close reports the error
// that closing itself may give (a network file system may report a failed
// write only there).
class TDescriptor {
public:
    explicit TDescriptor(int fd = -1) : FFd(fd) {}
    ~TDescriptor() { Close(); }
    TDescriptor(const TDescriptor&) = delete;
    TDescriptor& operator=(const TDescriptor&) = delete;

    int Fd() const { return FFd; }
    void Reset(int fd)
    {
        Close();
        FFd = fd;
    }
    bool IsOpen() const { return FFd >= 0; }
    int Close()
    {
        const int result = FFd >= 0 ? ::close(FFd) : 0;
        FFd = -1;
        return result == 0 ? 0 : errno;
    }

private:
    int FFd;
};
