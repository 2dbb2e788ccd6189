#pragma once

// Sealing a PDF: each stamp puts a seal's picture on a page and signs the document (PAdES
// B-B) as one incremental update. No widgets and no key: the signature value comes from a
// DigestSigner, which the key's operations provide.

#include <array>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace talvo::pdf {

// Where a seal goes: its centre in millimetres from the page's top-left corner as a reader
// shows the page (after /Rotate, within the crop box), and its width; the height keeps the
// picture's proportions.
struct SealPlacement {
    int page = 1; // from 1
    double centreXMm = 0;
    double centreYMm = 0;
    double widthMm = 40;
};

struct SealStamp {
    SealPlacement placement;
    std::vector<uint8_t> picture; // the seal's GIF, as the key holds it
    std::string sealName;         // UTF-8, the signature field's name is made from it
    std::string reason;           // UTF-8; empty for none
};

// Signs with the key's signature key, which never leaves the key.
class DigestSigner {
public:
    virtual ~DigestSigner() = default;
    // The signer's X.509 certificate, DER.
    virtual bool certificate(std::vector<uint8_t>& der, std::string& error) = 0;
    // An RSA PKCS#1 v1.5 signature (big-endian, as CMS carries it) of a SHA-256 digest.
    virtual bool signSha256(const std::array<uint8_t, 32>& digest, std::vector<uint8_t>& signature,
                            std::string& error) = 0;
};

struct SealingResult {
    bool ok = false;
    std::string error; // why not, for the key holder
};

// Appends one incremental update per stamp, in order, to the bytes of inputPath, and gives the
// result outputPath's name only when every stamp is signed and written: on any failure
// outputPath is as it was, or absent. outputPath may be inputPath. Paths are the bytes the file
// system takes.
SealingResult sealDocument(const std::string& inputPath, const std::string& outputPath,
                           const std::vector<SealStamp>& stamps, DigestSigner& signer,
                           std::time_t signingTime);

} // namespace talvo::pdf
