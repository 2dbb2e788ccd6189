#include "KeyCertificate.h"

#include <openssl/bn.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <memory>

namespace talvo::sim {

namespace {

constexpr long kTenYears = 10L * 365 * 24 * 60 * 60;

template <class T, void (*Free)(T*)> struct Deleter {
    void operator()(T* p) const { Free(p); }
};
using X509Ptr = std::unique_ptr<X509, Deleter<X509, X509_free>>;
using BignumPtr = std::unique_ptr<BIGNUM, Deleter<BIGNUM, BN_free>>;
using BioPtr = std::unique_ptr<BIO, Deleter<BIO, BIO_free_all>>;
using ExtensionPtr = std::unique_ptr<X509_EXTENSION, Deleter<X509_EXTENSION, X509_EXTENSION_free>>;

bool failed(const char* what, std::string* error)
{
    if (error) {
        char text[256] = {};
        ERR_error_string_n(ERR_get_error(), text, sizeof text);
        *error = std::string("cannot make the key's certificate (") + what + "): " + text;
    }
    return false;
}

bool randomSerial(X509* certificate)
{
    unsigned char bytes[16];
    if (RAND_bytes(bytes, sizeof bytes) != 1)
        return false;
    bytes[0] &= 0x7f; // positive, as RFC 5280 asks
    bytes[0] |= 0x01; // and never shorter than its 16 bytes
    const BignumPtr number(BN_bin2bn(bytes, sizeof bytes, nullptr));
    return number && BN_to_ASN1_INTEGER(number.get(), X509_get_serialNumber(certificate)) != nullptr;
}

bool addExtension(X509* certificate, X509V3_CTX* context, int nid, const char* value)
{
    const ExtensionPtr extension(X509V3_EXT_conf_nid(nullptr, context, nid, value));
    return extension && X509_add_ext(certificate, extension.get(), -1) == 1;
}

bool addName(X509_NAME* name, const char* field, const std::string& value)
{
    return X509_NAME_add_entry_by_txt(name, field, MBSTRING_ASC,
                                      reinterpret_cast<const unsigned char*>(value.c_str()), -1, -1, 0) == 1;
}

// Signs the encoded TBS part with the key's own private operation, as X509_sign would with a
// key in this process.
bool signWith(ContainerKey& key, X509* certificate)
{
    const ASN1_BIT_STRING* signature = nullptr;
    const X509_ALGOR* algorithm = nullptr;
    X509_get0_signature(&signature, &algorithm, certificate);
    for (const X509_ALGOR* both : {X509_get0_tbs_sigalg(certificate), algorithm}) {
        if (X509_ALGOR_set0(const_cast<X509_ALGOR*>(both), OBJ_nid2obj(NID_sha256WithRSAEncryption),
                            V_ASN1_NULL, nullptr) != 1)
            return false;
    }
    unsigned char* tbs = nullptr;
    const int tbsSize = i2d_re_X509_tbs(certificate, &tbs);
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int digestSize = 0;
    const bool hashed = tbsSize > 0 && EVP_Digest(tbs, static_cast<std::size_t>(tbsSize), digest, &digestSize,
                                                  EVP_sha256(), nullptr) == 1;
    OPENSSL_free(tbs);
    const std::optional<std::string> bytes =
        hashed ? key.signDigestInfo(
                     sha256DigestInfo(std::string_view(reinterpret_cast<char*>(digest), digestSize)))
               : std::nullopt;
    auto* bits = const_cast<ASN1_BIT_STRING*>(signature);
    if (!bytes ||
        ASN1_BIT_STRING_set(bits, reinterpret_cast<unsigned char*>(const_cast<char*>(bytes->data())),
                            static_cast<int>(bytes->size())) != 1)
        return false;
    bits->flags = (bits->flags & ~0x07L) | ASN1_STRING_FLAG_BITS_LEFT;
    return X509_verify(certificate, key.publicKey()) == 1;
}

} // namespace

bool makeKeyCertificate(ContainerKey& key, const std::string& serial, std::string& der, std::string* error)
{
    const X509Ptr certificate(X509_new());
    if (!certificate || X509_set_version(certificate.get(), X509_VERSION_3) != 1 ||
        !randomSerial(certificate.get()))
        return failed("serial", error);
    if (!X509_gmtime_adj(X509_getm_notBefore(certificate.get()), 0) ||
        !X509_gmtime_adj(X509_getm_notAfter(certificate.get()), kTenYears))
        return failed("validity", error);
    X509_NAME* name = X509_get_subject_name(certificate.get());
    if (!addName(name, "C", "CN") || !addName(name, "O", "Talvo") || !addName(name, "OU", "Talvo Key") ||
        !addName(name, "CN", serial) || X509_set_issuer_name(certificate.get(), name) != 1 ||
        X509_set_pubkey(certificate.get(), key.publicKey()) != 1)
        return failed("names", error);

    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, certificate.get(), certificate.get(), nullptr, nullptr, 0);
    if (!addExtension(certificate.get(), &context, NID_basic_constraints, "critical,CA:FALSE") ||
        !addExtension(certificate.get(), &context, NID_key_usage,
                      "critical,digitalSignature,nonRepudiation") ||
        !addExtension(certificate.get(), &context, NID_subject_key_identifier, "hash") ||
        !addExtension(certificate.get(), &context, NID_authority_key_identifier, "keyid:always"))
        return failed("extensions", error);

    if (!signWith(key, certificate.get()))
        return failed("signature", error);
    const int size = i2d_X509(certificate.get(), nullptr);
    if (size <= 0)
        return failed("encoding", error);
    der.assign(static_cast<std::size_t>(size), '\0');
    auto* cursor = reinterpret_cast<unsigned char*>(der.data());
    if (i2d_X509(certificate.get(), &cursor) != size)
        return failed("encoding", error);
    return true;
}

std::string certificatePem(const std::string& der)
{
    const BioPtr bio(BIO_new(BIO_s_mem()));
    if (!bio ||
        PEM_write_bio(bio.get(), PEM_STRING_X509, "", reinterpret_cast<const unsigned char*>(der.data()),
                      static_cast<long>(der.size())) <= 0)
        return {};
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio.get(), &data);
    return size > 0 ? std::string(data, static_cast<std::size_t>(size)) : std::string();
}

} // namespace talvo::sim
