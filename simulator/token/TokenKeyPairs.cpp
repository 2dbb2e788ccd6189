#include "TokenKeyPairs.h"

#include <openssl/core_names.h>
#include <openssl/param_build.h>
#include <openssl/x509.h>

#include <algorithm>
#include <vector>

namespace talvo::sim {

namespace {

constexpr CK_ULONG kModulusBits = 2048;
constexpr std::size_t kMaxModulusBytes = 2048;

CK_ATTRIBUTE attribute(CK_ATTRIBUTE_TYPE type, void* data, std::size_t size)
{
    return CK_ATTRIBUTE{type, data, static_cast<CK_ULONG>(size)};
}

bool hasPair(const TokenObjects& objects, KeyPair pair, std::uint64_t generation)
{
    bool privateKey = false;
    bool publicKey = false;
    for (const TokenObject& object : objects.named(CKO_PRIVATE_KEY, pairName(pair)))
        privateKey = privateKey || object.generation == generation;
    for (const TokenObject& object : objects.named(CKO_PUBLIC_KEY, pairName(pair)))
        publicKey = publicKey || object.generation == generation;
    return privateKey && publicKey;
}

const TokenObject* ofGeneration(const std::vector<TokenObject>& objects, std::uint64_t generation)
{
    for (const TokenObject& object : objects) {
        if (object.generation == generation)
            return &object;
    }
    return nullptr;
}

struct BnDeleter {
    void operator()(BIGNUM* number) const { BN_free(number); }
};
using BignumPtr = std::unique_ptr<BIGNUM, BnDeleter>;

EvpPkeyPtr rsaPublicKey(const std::string& modulus, const std::string& exponent)
{
    const BignumPtr n(BN_bin2bn(reinterpret_cast<const unsigned char*>(modulus.data()),
                                static_cast<int>(modulus.size()), nullptr));
    const BignumPtr e(BN_bin2bn(reinterpret_cast<const unsigned char*>(exponent.data()),
                                static_cast<int>(exponent.size()), nullptr));
    const std::unique_ptr<OSSL_PARAM_BLD, decltype(&OSSL_PARAM_BLD_free)> builder(OSSL_PARAM_BLD_new(),
                                                                                  OSSL_PARAM_BLD_free);
    if (!n || !e || !builder || OSSL_PARAM_BLD_push_BN(builder.get(), OSSL_PKEY_PARAM_RSA_N, n.get()) != 1 ||
        OSSL_PARAM_BLD_push_BN(builder.get(), OSSL_PKEY_PARAM_RSA_E, e.get()) != 1)
        return nullptr;
    const std::unique_ptr<OSSL_PARAM, decltype(&OSSL_PARAM_free)> params(
        OSSL_PARAM_BLD_to_param(builder.get()), OSSL_PARAM_free);
    const std::unique_ptr<EVP_PKEY_CTX, decltype(&EVP_PKEY_CTX_free)> context(
        EVP_PKEY_CTX_new_from_name(nullptr, "RSA", nullptr), EVP_PKEY_CTX_free);
    EVP_PKEY* key = nullptr;
    if (!params || !context || EVP_PKEY_fromdata_init(context.get()) != 1 ||
        EVP_PKEY_fromdata(context.get(), &key, EVP_PKEY_PUBLIC_KEY, params.get()) != 1)
        return nullptr;
    return EvpPkeyPtr(key);
}

} // namespace

std::string_view pairName(KeyPair pair)
{
    return pair == KeyPair::Signature ? "signature" : "exchange";
}

bool offersTalvoMechanisms(TokenSession& session, std::string* reason)
{
    CK_FUNCTION_LIST& f = session.functions();
    CK_MECHANISM_INFO generation{};
    CK_MECHANISM_INFO rsa{};
    const auto lacks = [&](const std::string& what) {
        if (reason)
            *reason = "the token lacks " + what + ", which a Talvo key needs";
        return false;
    };
    // A token may answer for a mechanism that it does not list (SoftHSM does for those its
    // configuration turns off): only a listed one counts as offered.
    CK_ULONG count = 0;
    std::vector<CK_MECHANISM_TYPE> listed;
    if (f.C_GetMechanismList(session.slot(), nullptr, &count) == CKR_OK) {
        listed.resize(count);
        if (f.C_GetMechanismList(session.slot(), listed.data(), &count) != CKR_OK)
            count = 0;
        listed.resize(std::min<CK_ULONG>(count, listed.size()));
    }
    const auto offered = [&](CK_MECHANISM_TYPE type) {
        return std::find(listed.begin(), listed.end(), type) != listed.end();
    };
    if (!offered(CKM_RSA_PKCS_KEY_PAIR_GEN) ||
        f.C_GetMechanismInfo(session.slot(), CKM_RSA_PKCS_KEY_PAIR_GEN, &generation) != CKR_OK ||
        (generation.flags & CKF_GENERATE_KEY_PAIR) == 0 || generation.ulMinKeySize > kModulusBits ||
        generation.ulMaxKeySize < kModulusBits)
        return lacks("RSA 2048 key generation (CKM_RSA_PKCS_KEY_PAIR_GEN)");
    if (!offered(CKM_RSA_PKCS) || f.C_GetMechanismInfo(session.slot(), CKM_RSA_PKCS, &rsa) != CKR_OK)
        return lacks("CKM_RSA_PKCS");
    if ((rsa.flags & CKF_SIGN) == 0)
        return lacks("CKM_RSA_PKCS signing");
    if ((rsa.flags & CKF_DECRYPT) == 0)
        return lacks("CKM_RSA_PKCS decryption");
    return true;
}

bool generatePair(TokenObjects& objects, KeyPair pair, std::uint64_t generation)
{
    TokenSession& session = objects.session();
    std::string label = talvoLabel(pairName(pair), generation);
    CK_BBOOL yes = CK_TRUE;
    CK_BBOOL no = CK_FALSE;
    CK_ULONG bits = kModulusBits;
    unsigned char exponent[] = {0x01, 0x00, 0x01};
    CK_ATTRIBUTE publicTemplate[] = {
        attribute(CKA_TOKEN, &yes, sizeof yes),
        attribute(CKA_PRIVATE, &no, sizeof no),
        attribute(CKA_LABEL, label.data(), label.size()),
        attribute(CKA_ID, label.data(), label.size()),
        attribute(CKA_VERIFY, &yes, sizeof yes),
        attribute(CKA_ENCRYPT, &yes, sizeof yes),
        attribute(CKA_MODULUS_BITS, &bits, sizeof bits),
        attribute(CKA_PUBLIC_EXPONENT, exponent, sizeof exponent),
    };
    CK_ATTRIBUTE privateTemplate[] = {
        attribute(CKA_TOKEN, &yes, sizeof yes),
        attribute(CKA_PRIVATE, &yes, sizeof yes),
        attribute(CKA_LABEL, label.data(), label.size()),
        attribute(CKA_ID, label.data(), label.size()),
        attribute(CKA_SENSITIVE, &yes, sizeof yes),
        attribute(CKA_EXTRACTABLE, &no, sizeof no),
        attribute(CKA_SIGN, &yes, sizeof yes),
        attribute(CKA_DECRYPT, &yes, sizeof yes),
    };
    CK_MECHANISM mechanism = {CKM_RSA_PKCS_KEY_PAIR_GEN, nullptr, 0};
    TokenObject publicKey;
    TokenObject privateKey;
    if (!session.succeeded(session.functions().C_GenerateKeyPair(session.handle(), &mechanism, publicTemplate,
                                                                 std::size(publicTemplate), privateTemplate,
                                                                 std::size(privateTemplate),
                                                                 &publicKey.handle, &privateKey.handle),
                           "generate an RSA 2048 key pair"))
        return false;
    for (TokenObject* object : {&publicKey, &privateKey}) {
        object->objectClass = object == &publicKey ? CKO_PUBLIC_KEY : CKO_PRIVATE_KEY;
        object->label = label;
        object->ours = true;
        object->name = std::string(pairName(pair));
        object->generation = generation;
        objects.add(*object);
    }
    return true;
}

std::optional<std::uint64_t> newestContainer(const TokenObjects& objects)
{
    for (const TokenObject& certificate : objects.named(CKO_CERTIFICATE, kCertificateName)) {
        if (hasPair(objects, KeyPair::Signature, certificate.generation) &&
            hasPair(objects, KeyPair::Exchange, certificate.generation))
            return certificate.generation;
    }
    return std::nullopt;
}

std::unique_ptr<TokenContainerKey> tokenKey(TokenObjects& objects, KeyPair pair, std::uint64_t generation)
{
    const std::vector<TokenObject> privateKeys = objects.named(CKO_PRIVATE_KEY, pairName(pair));
    const std::vector<TokenObject> publicKeys = objects.named(CKO_PUBLIC_KEY, pairName(pair));
    const TokenObject* privateKey = ofGeneration(privateKeys, generation);
    const TokenObject* publicKey = ofGeneration(publicKeys, generation);
    std::string modulus;
    std::string exponent;
    if (!privateKey || !publicKey ||
        !objects.readAttribute(publicKey->handle, CKA_MODULUS, kMaxModulusBytes, modulus) ||
        !objects.readAttribute(publicKey->handle, CKA_PUBLIC_EXPONENT, kMaxModulusBytes, exponent))
        return nullptr;
    EvpPkeyPtr key = rsaPublicKey(modulus, exponent);
    if (!key)
        return nullptr;
    return std::make_unique<TokenContainerKey>(objects.session(), privateKey->handle, std::move(key));
}

bool createCertificate(TokenObjects& objects, std::uint64_t generation, const std::string& der)
{
    std::string value = der;
    const auto* cursor = reinterpret_cast<const unsigned char*>(der.data());
    const std::unique_ptr<X509, decltype(&X509_free)> certificate(
        d2i_X509(nullptr, &cursor, static_cast<long>(der.size())), X509_free);
    unsigned char* subjectBytes = nullptr;
    const int subjectSize =
        certificate ? i2d_X509_NAME(X509_get_subject_name(certificate.get()), &subjectBytes) : 0;
    if (subjectSize <= 0)
        return objects.session().succeeded(CKR_ARGUMENTS_BAD, "encode the certificate's subject");
    std::string subject(reinterpret_cast<const char*>(subjectBytes), static_cast<std::size_t>(subjectSize));
    OPENSSL_free(subjectBytes);
    // NSS finds a token's certificate, and pairs it with its key, only by its issuer and serial.
    unsigned char* issuerBytes = nullptr;
    const int issuerSize = i2d_X509_NAME(X509_get_issuer_name(certificate.get()), &issuerBytes);
    unsigned char* serialBytes = nullptr;
    const int serialSize = i2d_ASN1_INTEGER(X509_get0_serialNumber(certificate.get()), &serialBytes);
    std::string issuer(reinterpret_cast<const char*>(issuerBytes),
                       static_cast<std::size_t>(std::max(issuerSize, 0)));
    std::string serial(reinterpret_cast<const char*>(serialBytes),
                       static_cast<std::size_t>(std::max(serialSize, 0)));
    OPENSSL_free(issuerBytes);
    OPENSSL_free(serialBytes);
    if (issuer.empty() || serial.empty())
        return objects.session().succeeded(CKR_ARGUMENTS_BAD,
                                           "encode the certificate's issuer and serial number");
    std::string label = talvoLabel(kCertificateName, generation);
    std::string id = talvoLabel(pairName(KeyPair::Signature), generation);
    CK_OBJECT_CLASS certificateClass = CKO_CERTIFICATE;
    CK_CERTIFICATE_TYPE type = CKC_X_509;
    CK_BBOOL yes = CK_TRUE;
    CK_BBOOL no = CK_FALSE;
    TokenObject object;
    object.objectClass = CKO_CERTIFICATE;
    object.label = label;
    object.ours = true;
    object.name = std::string(kCertificateName);
    object.generation = generation;
    return objects.create(
        {attribute(CKA_CLASS, &certificateClass, sizeof certificateClass),
         attribute(CKA_CERTIFICATE_TYPE, &type, sizeof type), attribute(CKA_TOKEN, &yes, sizeof yes),
         attribute(CKA_PRIVATE, &no, sizeof no), attribute(CKA_LABEL, label.data(), label.size()),
         attribute(CKA_ID, id.data(), id.size()), attribute(CKA_SUBJECT, subject.data(), subject.size()),
         attribute(CKA_ISSUER, issuer.data(), issuer.size()),
         attribute(CKA_SERIAL_NUMBER, serial.data(), serial.size()),
         attribute(CKA_VALUE, value.data(), value.size())},
        object);
}

} // namespace talvo::sim
