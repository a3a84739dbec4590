#include "cli_commands.h"
#include "document/file_io.h"
#include "workspace/app_folder.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <malloc.h>
#include <streambuf>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Standard output that remembers why its first write failed, so that output
// lost to a full disk or a closed file is not reported as success.
class OutputBuffer : public std::streambuf {
public:
    ~OutputBuffer() override { Flush(); }
    // The errno of the first failed write; 0 while every write succeeded.
    int Error() {
        Flush();
        return error_;
    }

protected:
    int_type overflow(int_type c) override {
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            buffer_.push_back(traits_type::to_char_type(c));
            FlushWhenFull();
        }
        return error_ != 0 ? traits_type::eof() : traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        buffer_.append(text, std::size_t(count));
        FlushWhenFull();
        return error_ != 0 ? 0 : count;
    }
    int sync() override {
        Flush();
        return error_ != 0 ? -1 : 0;
    }

private:
    void FlushWhenFull() {
        if (buffer_.size() >= 65536) {
            Flush();
        }
    }
    void Flush() {
        std::size_t done = 0;
        while (error_ == 0 && done < buffer_.size()) {
            const ssize_t n = ::write(STDOUT_FILENO, buffer_.data() + done, buffer_.size() - done);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                error_ = n < 0 ? errno : EIO;
                break;
            }
            done += std::size_t(n);
        }
        buffer_.clear();
    }

    std::string buffer_;
    int error_ = 0;
};

// A command copies its page a few times and lives a fraction of a second,
// so what costs is faulting in fresh memory, page by page. The heap is made
// to take every page-sized block (glibc would map each block of over 128 KB
// on its own and unmap it when freed; 32 MB is the most it allows for that
// threshold) and it keeps what is freed for the next copy. When a file the
// command names is a large page, the heap is grown once by a long stretch of
// address space that the kernel may back with huge pages, so a 10 MB copy
// takes a handful of faults instead of thousands; a smaller page is left to
// ordinary pages, whose memory a huge page's 2 MB would outweigh. Nothing is
// committed until it is touched; where the system refuses any of it, the
// heap simply works as it would have.
void PrepareHeap(int argc, char** argv) {
    constexpr std::size_t kMegabyte = 1024 * 1024;
    ::mallopt(M_MMAP_THRESHOLD, int(32 * kMegabyte));
    ::mallopt(M_TRIM_THRESHOLD, int(1024 * kMegabyte));
    bool large_page = false;
    for (int i = 1; i < argc && !large_page; ++i) {
        struct stat info {};
        large_page = ::stat(argv[i], &info) == 0 && S_ISREG(info.st_mode) &&
                     std::size_t(info.st_size) >= 8 * kMegabyte;
    }
    if (!large_page) {
        return;
    }
    ::mallopt(M_TOP_PAD, int(1024 * kMegabyte));
    // One block larger than the heap's free top makes it grow by the pad.
    void* block = std::malloc(4 * kMegabyte);
    if (block == nullptr) {
        return;
    }
    const auto huge = std::uintptr_t(2 * kMegabyte);
    const auto from = (std::uintptr_t(block) + huge - 1) & ~(huge - 1);
    const auto to = std::uintptr_t(::sbrk(0)) & ~(huge - 1);
    if (to > from) {
        ::madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
    }
    std::free(block);
}

} // namespace

int main(int argc, char** argv) {
    PrepareHeap(argc, argv);
    qf::TreatFileSizeLimitAsWriteError();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(qf::kApplicationName);
    qf::cli::Args args;
    for (int i = 1; i < argc; ++i) {
        args.emplace_back(argv[i]);
    }
    OutputBuffer output;
    std::ostream out(&output);
    int status = qf::cli::Run(args, out, std::cerr);
    out.flush();
    if (const int error = output.Error(); error != 0) {
        std::cerr << "quenfort-cli: cannot write the output: " << std::strerror(error) << '\n';
        if (status == 0) {
            status = 1;
        }
    }
    return status;
}
