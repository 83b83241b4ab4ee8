#pragma once
// A small file system of the test's own (tmpfs), mounted while the object lives, to be filled
// up: writes on it fail as on a full disk (ENOSPC). Mounting takes root; where it is refused
// (or on Windows, which mounts no tmpfs) mounted() is false and the test skips, saying
// unmounted() why.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#ifndef _WIN32
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>
#endif

class SmallDisk {
public:
#ifdef _WIN32
    explicit SmallDisk(std::size_t) {}
    static const char *unmounted() { return "Windows mounts no small file system for a test"; }
    bool mounted() const { return false; }
    std::filesystem::path file(const std::string &name) const { return name; }
    void fill(std::size_t) const {}
#else
    static const char *unmounted()
    {
        return "no small file system can be mounted here (it takes root)";
    }
    explicit SmallDisk(std::size_t bytes)
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tavle-disk-XXXXXX");
        if (::mkdtemp(pattern.data()) == nullptr)
            return;
        path_ = pattern;
        const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
        mounted_ =
            ::mount("tmpfs", path_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) == 0;
    }
    ~SmallDisk()
    {
        if (mounted_)
            ::umount2(path_.c_str(), MNT_DETACH);
        if (!path_.empty())
            ::rmdir(path_.c_str());
    }
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool mounted() const { return mounted_; }
    std::filesystem::path file(const std::string &name) const { return path_ / name; }

    // Fills the disk with one file, "filler", until about `room` bytes are left.
    void fill(std::size_t room) const
    {
        struct statvfs fs {};
        if (::statvfs(path_.c_str(), &fs) != 0)
            return;
        const std::size_t free = static_cast<std::size_t>(fs.f_bavail) * fs.f_frsize;
        if (free <= room)
            return;
        std::ofstream filler(file("filler"), std::ios::binary);
        const std::string block(4096, 'x');
        for (std::size_t left = free - room; left > 0;) {
            const std::size_t n = std::min(left, block.size());
            filler.write(block.data(), static_cast<std::streamsize>(n));
            left -= n;
        }
    }

private:
    std::filesystem::path path_;
    bool mounted_ = false;
#endif
};
