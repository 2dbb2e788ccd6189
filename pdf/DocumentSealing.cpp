#include "DocumentSealing.h"

#include "CmsSignature.h"
#include "PendingFile.h"
#include "SealUpdate.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>

#include <fcntl.h>
#include <openssl/evp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>

namespace talvo::pdf {

namespace {

// Reads and writes in pieces of this size, so memory stays the same whatever the file's size.
constexpr std::size_t kPieceSize = 1 << 20;
// Where the last startxref is looked for, from the end of the file.
constexpr std::size_t kTailSize = 2048;
// The widest number /ByteRange holds.
constexpr uint64_t kLargestDocument = 9'999'999'999ULL;

struct Descriptor {
    int fd = -1;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

struct MdCtxDeleter {
    void operator()(EVP_MD_CTX* ctx) const { EVP_MD_CTX_free(ctx); }
};

std::string reason()
{
    return std::strerror(errno);
}

bool writeAll(int fd, const char* bytes, std::size_t length)
{
    while (length > 0) {
        const ssize_t written = ::write(fd, bytes, length);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes += written;
        length -= static_cast<std::size_t>(written);
    }
    return true;
}

ssize_t readSome(int fd, char* bytes, std::size_t length, uint64_t offset)
{
    for (;;) {
        const ssize_t count = ::pread(fd, bytes, length, static_cast<off_t>(offset));
        if (count >= 0 || errno != EINTR)
            return count;
    }
}

// The offset after the file's last "startxref"; nothing when its tail has none.
std::optional<uint64_t> lastStartXref(std::string_view tail)
{
    const std::size_t keyword = tail.rfind("startxref");
    if (keyword == std::string_view::npos)
        return std::nullopt;
    std::size_t at = keyword + 9;
    while (at < tail.size() && std::strchr(" \t\r\n\f", tail[at]) != nullptr && tail[at] != '\0')
        ++at;
    uint64_t offset = 0;
    const std::size_t first = at;
    while (at < tail.size() && tail[at] >= '0' && tail[at] <= '9' && at - first < 19)
        offset = offset * 10 + static_cast<uint64_t>(tail[at++] - '0');
    if (at == first)
        return std::nullopt;
    return offset;
}

// Copies the whole source into the output while hashing it: the one read of the document.
bool copyHashing(int from, int to, uint64_t size, EVP_MD_CTX* hash, std::string& error)
{
    std::vector<char> piece(kPieceSize);
    uint64_t copied = 0;
    while (copied < size) {
        const ssize_t count = readSome(from, piece.data(), piece.size(), copied);
        if (count <= 0) {
            error = count < 0 ? "无法读取输入文件：" + reason() : "输入文件在盖章时被改动";
            return false;
        }
        const auto length = static_cast<std::size_t>(count);
        if (EVP_DigestUpdate(hash, piece.data(), length) != 1) {
            error = "无法计算文件摘要";
            return false;
        }
        if (!writeAll(to, piece.data(), length)) {
            error = "无法写入输出文件：" + reason();
            return false;
        }
        copied += length;
    }
    if (copied != size) {
        error = "输入文件在盖章时被改动";
        return false;
    }
    return true;
}

bool sealOnce(const std::string& sourcePath, int output, const SealStamp& stamp, DigestSigner& signer,
              std::time_t signingTime, std::string& error)
{
    Descriptor source{::open(sourcePath.c_str(), O_RDONLY | O_CLOEXEC)};
    struct stat status {};
    if (source.fd < 0 || ::fstat(source.fd, &status) != 0) {
        error = "无法读取输入文件：" + reason();
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        error = "输入文件不是普通文件";
        return false;
    }
    const auto size = static_cast<uint64_t>(status.st_size);
    std::string head(1024, '\0');
    const ssize_t headLength = readSome(source.fd, head.data(), head.size(), 0);
    if (headLength < 0) {
        error = "无法读取输入文件：" + reason();
        return false;
    }
    head.resize(static_cast<std::size_t>(headLength));
    if (head.find("%PDF-") == std::string::npos) {
        error = "输入文件不是PDF文件";
        return false;
    }
    std::string tail(static_cast<std::size_t>(std::min<uint64_t>(size, kTailSize)), '\0');
    const ssize_t tailLength = readSome(source.fd, tail.data(), tail.size(), size - tail.size());
    const std::optional<uint64_t> previousXref =
        tailLength == static_cast<ssize_t>(tail.size()) ? lastStartXref(tail) : std::nullopt;
    if (!previousXref) {
        error = "PDF文件已损坏：没有交叉引用表";
        return false;
    }

    SealUpdate update;
    try {
        QPDF document;
        document.setSuppressWarnings(true);
        // A document qpdf must repair has no cross-reference an update could extend.
        document.setAttemptRecovery(false);
        document.processFile(sourcePath.c_str());
        const SealUpdate::Source facts{size, *previousXref,
                                       tail.empty() || tail.back() == '\n' || tail.back() == '\r'};
        if (!update.build(document, stamp, signingTime, facts, error))
            return false;
        if (document.anyWarnings()) {
            error = "PDF文件已损坏";
            return false;
        }
    } catch (const QPDFExc& failure) {
        error = failure.getErrorCode() == qpdf_e_password
                    ? std::string("文件已加密，不能盖章")
                    : std::string("PDF文件已损坏：") + failure.getMessageDetail();
        return false;
    } catch (const std::exception& failure) {
        error = std::string("PDF文件已损坏或无法读取：") + failure.what();
        return false;
    }
    if (size + update.bytes().size() > kLargestDocument) {
        error = "文件太大，无法盖章";
        return false;
    }
    update.fillByteRange();

    std::unique_ptr<EVP_MD_CTX, MdCtxDeleter> hash(EVP_MD_CTX_new());
    if (!hash || EVP_DigestInit_ex(hash.get(), EVP_sha256(), nullptr) != 1) {
        error = "无法计算文件摘要";
        return false;
    }
    if (!copyHashing(source.fd, output, size, hash.get(), error))
        return false;
    std::array<uint8_t, 32> digest{};
    unsigned int digestLength = 0;
    const std::string_view coveredHead = update.coveredHead();
    const std::string_view coveredTail = update.coveredTail();
    if (EVP_DigestUpdate(hash.get(), coveredHead.data(), coveredHead.size()) != 1 ||
        EVP_DigestUpdate(hash.get(), coveredTail.data(), coveredTail.size()) != 1 ||
        EVP_DigestFinal_ex(hash.get(), digest.data(), &digestLength) != 1 || digestLength != digest.size()) {
        error = "无法计算文件摘要";
        return false;
    }
    std::vector<uint8_t> cms;
    if (!buildCmsSignature(digest, signer, cms, error))
        return false;
    if (!update.fillContents(cms)) {
        error = "签名数据太大";
        return false;
    }
    if (!writeAll(output, update.bytes().data(), update.bytes().size())) {
        error = "无法写入输出文件：" + reason();
        return false;
    }
    return true;
}

} // namespace

SealingResult sealDocument(const std::string& inputPath, const std::string& outputPath,
                           const std::vector<SealStamp>& stamps, DigestSigner& signer,
                           std::time_t signingTime)
{
    SealingResult result;
    if (stamps.empty()) {
        result.error = "没有要盖的章";
        return result;
    }
    // Each stamp is an update of the document the previous one made; only the last becomes
    // the output.
    std::unique_ptr<PendingFile> previous;
    std::string source = inputPath;
    for (const SealStamp& stamp : stamps) {
        auto pending = std::make_unique<PendingFile>();
        if (!pending->create(outputPath, result.error) ||
            !sealOnce(source, pending->descriptor(), stamp, signer, signingTime, result.error))
            return result;
        previous = std::move(pending);
        source = previous->path();
    }
    result.ok = previous->commit(result.error);
    return result;
}

} // namespace talvo::pdf
