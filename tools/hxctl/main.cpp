// hxctl: talks to the simulated mouse library of a program folder while a
// client has it loaded. Each argument group after the options is one
// command; the library's answer is printed, one line per command.
//
//   hxctl [--dir FOLDER] list
//   hxctl plug 'HX\VID_F0D1&PID_0001&MI_01\1' HX-M1
//   hxctl unplug 'HX\VID_F0D1&PID_0001&MI_01\1'
//   hxctl event 0x10003 10
//   hxctl data 'HX\VID_F0D1&PID_0001&MI_01\0' 0aff000000000000
//   hxctl read 'HX\VID_F0D1&PID_0001&MI_01\0' 0x1c00 16
//
// FOLDER defaults to the folder hxctl is in. Exit status 0 when every
// answer began with "ok".

#include "sim/control_address.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string ownFolder()
{
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return ".";
    std::string p(path, size_t(n));
    return p.substr(0, p.rfind('/'));
}

int usage()
{
    std::fprintf(stderr,
                 "usage: hxctl [--dir FOLDER] COMMAND [ARGS...]\n"
                 "commands: list | plug HWID [DeviceID Version SN MASK Path] | unplug HWID\n"
                 "          event VALUE [COUNT] | data HWID HEX16 | read HWID ADDR SIZE\n"
                 "          prop HWID ID SIZE | last-notify HWID | reports MS\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string folder = ownFolder();
    int i = 1;
    if (i + 1 < argc && std::strcmp(argv[i], "--dir") == 0) {
        folder = argv[i + 1];
        i += 2;
    }
    if (i >= argc)
        return usage();
    std::string line;
    for (; i < argc; ++i) {
        if (!line.empty())
            line += ' ';
        line += argv[i];
    }
    line += '\n';

    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const std::string name = hxsim::controlSocketName(folder);
    std::memcpy(addr.sun_path + 1, name.data(), name.size());
    const socklen_t len = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + name.size());
    if (fd < 0 || connect(fd, reinterpret_cast<sockaddr*>(&addr), len) != 0) {
        std::fprintf(stderr, "hxctl: no simulated mouse library is loaded from %s\n", folder.c_str());
        return 1;
    }
    if (write(fd, line.data(), line.size()) != ssize_t(line.size())) {
        std::fprintf(stderr, "hxctl: could not send the command\n");
        return 1;
    }
    std::string reply;
    char buf[4096];
    while (reply.find('\n') == std::string::npos) {
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0)
            break;
        reply.append(buf, size_t(n));
    }
    close(fd);
    std::fputs(reply.c_str(), stdout);
    return reply.rfind("ok", 0) == 0 ? 0 : 1;
}
