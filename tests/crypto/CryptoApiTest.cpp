// The provider, reached through the CryptoAPI layer, checked against OpenSSL's primitives.

#include "OpenSslReference.h"
#include "TestContainers.h"

#include "platform/cryptoapi/CryptoApi.h"
#include "simulator/common/ContainerKeys.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>

namespace talvo::testing {
namespace {

constexpr const char* kProvider = "MERO Cryptographic Service Provider v1.0.0";

class CryptoApiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CryptAcquireContextA(&m_context, nullptr, kProvider, PROV_RSA_FULL, 0)) << GetLastError();
    }
    void TearDown() override
    {
        if (m_context != 0) {
            EXPECT_TRUE(CryptReleaseContext(m_context, 0));
        }
    }

    HCRYPTKEY newDesKey(DWORD flags = CRYPT_EXPORTABLE)
    {
        HCRYPTKEY key = 0;
        EXPECT_TRUE(CryptGenKey(m_context, CALG_DES, flags, &key)) << GetLastError();
        return key;
    }
    HCRYPTKEY userKey(DWORD keySpec)
    {
        HCRYPTKEY key = 0;
        EXPECT_TRUE(CryptGetUserKey(m_context, keySpec, &key)) << GetLastError();
        return key;
    }
    Bytes exportBlob(HCRYPTKEY key)
    {
        const HCRYPTKEY exchange = userKey(AT_KEYEXCHANGE);
        DWORD length = 0;
        EXPECT_TRUE(CryptExportKey(key, exchange, SIMPLEBLOB, 0, nullptr, &length));
        Bytes blob(length);
        EXPECT_TRUE(CryptExportKey(key, exchange, SIMPLEBLOB, 0, blob.data(), &length)) << GetLastError();
        blob.resize(length);
        CryptDestroyKey(exchange);
        return blob;
    }
    // The DES key inside a blob, unwrapped by OpenSSL with the container's exchange key.
    Bytes unwrapWithOpenSsl(const Bytes& blob)
    {
        const PkeyPtr exchange = loadPemKey(sim::containerFiles(m_key.path()).exchangeKey);
        const Bytes wrapped(blob.begin() + 12, blob.end());
        return rsaPkcs1Decrypt(exchange.get(), reversedBytes(wrapped)).value_or(Bytes());
    }
    Bytes signedHashOf(const Bytes& data, const char* description)
    {
        HCRYPTHASH hash = 0;
        EXPECT_TRUE(CryptCreateHash(m_context, CALG_MD5, 0, 0, &hash));
        EXPECT_TRUE(CryptHashData(hash, data.data(), static_cast<DWORD>(data.size()), 0));
        DWORD length = 0;
        EXPECT_TRUE(CryptSignHashA(hash, AT_SIGNATURE, description, 0, nullptr, &length));
        Bytes signature(length);
        EXPECT_TRUE(CryptSignHashA(hash, AT_SIGNATURE, description, 0, signature.data(), &length));
        CryptDestroyHash(hash);
        return signature;
    }
    bool verifies(const Bytes& data, const Bytes& signature)
    {
        HCRYPTHASH hash = 0;
        EXPECT_TRUE(CryptCreateHash(m_context, CALG_MD5, 0, 0, &hash));
        EXPECT_TRUE(CryptHashData(hash, data.data(), static_cast<DWORD>(data.size()), 0));
        const HCRYPTKEY key = userKey(AT_SIGNATURE);
        const BOOL ok = CryptVerifySignatureA(hash, signature.data(), static_cast<DWORD>(signature.size()),
                                              key, nullptr, 0);
        const DWORD error = GetLastError();
        CryptDestroyKey(key);
        CryptDestroyHash(hash);
        SetLastError(error);
        return ok != FALSE;
    }

    SimulatedKeyDirectory m_key;
    HCRYPTPROV m_context = 0;
};

TEST_F(CryptoApiTest, ContainerNameCountsItsTerminatorAndFollowsTheLengthRules)
{
    DWORD length = 4;
    ASSERT_TRUE(CryptGetProvParam(m_context, PP_CONTAINER, nullptr, &length, CRYPT_FIRST));
    EXPECT_EQ(length, std::strlen("TalvoTestContainer") + 1);

    std::vector<char> name(length, 'x');
    DWORD tooShort = length - 1;
    EXPECT_FALSE(
        CryptGetProvParam(m_context, PP_CONTAINER, reinterpret_cast<BYTE*>(name.data()), &tooShort, 0));
    EXPECT_EQ(GetLastError(), ERROR_MORE_DATA);
    EXPECT_EQ(tooShort, length);
    EXPECT_EQ(name[0], 'x') << "nothing is written into a short buffer";

    ASSERT_TRUE(CryptGetProvParam(m_context, PP_CONTAINER, reinterpret_cast<BYTE*>(name.data()), &length,
                                  CRYPT_NEXT));
    EXPECT_STREQ(name.data(), "TalvoTestContainer");

    DWORD nameLength = 0;
    ASSERT_TRUE(CryptGetProvParam(m_context, PP_NAME, nullptr, &nameLength, 0));
    std::vector<char> providerName(nameLength);
    ASSERT_TRUE(
        CryptGetProvParam(m_context, PP_NAME, reinterpret_cast<BYTE*>(providerName.data()), &nameLength, 0));
    EXPECT_STREQ(providerName.data(), kProvider);
    EXPECT_FALSE(CryptGetProvParam(m_context, PP_CONTAINER, nullptr, &length, 0x100));
    EXPECT_EQ(GetLastError(), NTE_BAD_FLAGS);

    HCRYPTPROV named = 0;
    ASSERT_TRUE(CryptAcquireContextA(&named, "TalvoTestContainer", kProvider, PROV_RSA_FULL, 0));
    EXPECT_TRUE(CryptReleaseContext(named, 0));
    EXPECT_FALSE(CryptAcquireContextA(&named, "AnotherContainer", kProvider, PROV_RSA_FULL, 0));
    EXPECT_EQ(GetLastError(), NTE_BAD_KEYSET);
}

TEST_F(CryptoApiTest, ReversedSignatureIsAStandardPkcs1Md5SignatureAndIgnoresTheDescription)
{
    const Bytes data = bytesOf("The quick brown fox jumps over the lazy dog");
    const Bytes signature = signedHashOf(data, "Test Data Description");
    ASSERT_EQ(signature.size(), 256u);
    const PkeyPtr key = loadPemKey(sim::containerFiles(m_key.path()).signatureKey);
    EXPECT_TRUE(verifiesAsPkcs1Md5(key.get(), data, reversedBytes(signature)));
    EXPECT_FALSE(verifiesAsPkcs1Md5(key.get(), data, signature)) << "the bytes must be reversed";

    EXPECT_EQ(signedHashOf(data, nullptr), signature) << "the description is not bound into the signature";
    EXPECT_TRUE(verifies(data, signature));

    Bytes changed = signature;
    changed[7] ^= 0x01;
    EXPECT_FALSE(verifies(data, changed));
    EXPECT_EQ(GetLastError(), NTE_BAD_SIGNATURE);
    EXPECT_FALSE(verifies(bytesOf("other data"), signature));
    const Bytes truncated(signature.begin(), signature.end() - 1);
    EXPECT_FALSE(verifies(data, truncated)) << "the signature must be as long as the modulus";
}

TEST_F(CryptoApiTest, SignatureLengthRulesAndFinishedHash)
{
    HCRYPTHASH hash = 0;
    ASSERT_TRUE(CryptCreateHash(m_context, CALG_MD5, 0, 0, &hash));
    DWORD length = 0;
    ASSERT_TRUE(CryptSignHashA(hash, AT_SIGNATURE, nullptr, 0, nullptr, &length));
    EXPECT_EQ(length, 256u);
    Bytes signature(300, 0xEE);
    DWORD shortLength = 255;
    EXPECT_FALSE(CryptSignHashA(hash, AT_SIGNATURE, nullptr, 0, signature.data(), &shortLength));
    EXPECT_EQ(GetLastError(), ERROR_MORE_DATA);
    EXPECT_EQ(shortLength, 256u);
    EXPECT_EQ(signature[0], 0xEE);
    length = 300;
    ASSERT_TRUE(CryptSignHashA(hash, AT_SIGNATURE, nullptr, 0, signature.data(), &length));
    EXPECT_EQ(length, 256u);
    EXPECT_EQ(signature[256], 0xEE) << "nothing written past the signature";
    const BYTE more = 1;
    EXPECT_FALSE(CryptHashData(hash, &more, 1, 0));
    EXPECT_EQ(GetLastError(), NTE_BAD_HASH_STATE);
    EXPECT_TRUE(CryptDestroyHash(hash));
    EXPECT_FALSE(CryptDestroyHash(hash));
}

TEST_F(CryptoApiTest, SimpleBlobHasTheMicrosoftLayoutAndWrapsAnOddParityDesKey)
{
    const HCRYPTKEY key = newDesKey();
    const Bytes blob = exportBlob(key);
    ASSERT_EQ(blob.size(), 12u + 256u);
    const Bytes header(blob.begin(), blob.begin() + 12);
    EXPECT_EQ(header, (Bytes{0x01, 0x02, 0x00, 0x00, 0x01, 0x66, 0x00, 0x00, 0x00, 0xa4, 0x00, 0x00}));

    const Bytes desKey = unwrapWithOpenSsl(blob);
    ASSERT_EQ(desKey.size(), 8u);
    for (const unsigned char byte : desKey)
        EXPECT_EQ(std::popcount(static_cast<unsigned>(byte)) % 2, 1) << "odd parity";

    DWORD shortLength = 100;
    Bytes small(100);
    const HCRYPTKEY exchange = userKey(AT_KEYEXCHANGE);
    EXPECT_FALSE(CryptExportKey(key, exchange, SIMPLEBLOB, 0, small.data(), &shortLength));
    EXPECT_EQ(GetLastError(), ERROR_MORE_DATA);
    EXPECT_EQ(shortLength, 268u);
    EXPECT_TRUE(CryptDestroyKey(exchange));

    const HCRYPTKEY fixed = newDesKey(0);
    DWORD length = 0;
    const HCRYPTKEY exchange2 = userKey(AT_KEYEXCHANGE);
    EXPECT_FALSE(CryptExportKey(fixed, exchange2, SIMPLEBLOB, 0, nullptr, &length));
    EXPECT_EQ(GetLastError(), NTE_BAD_KEY_STATE) << "a key made without CRYPT_EXPORTABLE stays inside";
    CryptDestroyKey(exchange2);
    CryptDestroyKey(fixed);
    CryptDestroyKey(key);
}

TEST_F(CryptoApiTest, ChainedEncryptionEqualsDesCbcWithAZeroIv)
{
    const HCRYPTKEY key = newDesKey();
    const Bytes desKey = unwrapWithOpenSsl(exportBlob(key));
    Bytes plain(2500);
    for (size_t i = 0; i < plain.size(); ++i)
        plain[i] = static_cast<unsigned char>(i * 7 + 3);

    Bytes cipher;
    for (size_t offset = 0; offset < plain.size(); offset += 1000) {
        const size_t count = std::min<size_t>(1000, plain.size() - offset);
        std::vector<BYTE> buffer(1008);
        std::memcpy(buffer.data(), plain.data() + offset, count);
        DWORD length = static_cast<DWORD>(count);
        const BOOL final = offset + count == plain.size();
        ASSERT_TRUE(CryptEncrypt(key, 0, final, 0, buffer.data(), &length, 1008)) << GetLastError();
        cipher.insert(cipher.end(), buffer.begin(), buffer.begin() + length);
    }
    EXPECT_EQ(cipher.size(), 2504u);
    EXPECT_EQ(cipher, desCbc(desKey, plain, true).value());

    // The final call reset the chaining: the same data encrypts the same way again.
    Bytes again(plain.begin(), plain.begin() + 16);
    again.resize(24);
    DWORD length = 16;
    ASSERT_TRUE(CryptEncrypt(key, 0, TRUE, 0, again.data(), &length, 24));
    EXPECT_EQ(Bytes(again.begin(), again.begin() + length),
              desCbc(desKey, Bytes(plain.begin(), plain.begin() + 16), true).value());
    CryptDestroyKey(key);
}

TEST_F(CryptoApiTest, EncryptionLengthRules)
{
    const HCRYPTKEY key = newDesKey();
    Bytes buffer(16);
    DWORD length = 7;
    EXPECT_FALSE(CryptEncrypt(key, 0, FALSE, 0, buffer.data(), &length, 16))
        << "non-final takes whole blocks";
    EXPECT_EQ(GetLastError(), NTE_BAD_DATA);
    length = 8;
    ASSERT_TRUE(CryptEncrypt(key, 0, TRUE, 0, nullptr, &length, 0));
    EXPECT_EQ(length, 16u) << "whole blocks gain a block of padding";
    length = 8;
    EXPECT_FALSE(CryptEncrypt(key, 0, TRUE, 0, buffer.data(), &length, 8));
    EXPECT_EQ(GetLastError(), ERROR_MORE_DATA);
    EXPECT_EQ(length, 16u);
    length = 0;
    ASSERT_TRUE(CryptEncrypt(key, 0, TRUE, 0, buffer.data(), &length, 16));
    EXPECT_EQ(length, 8u) << "no data gives the padding block alone";
    CryptDestroyKey(key);
}

TEST_F(CryptoApiTest, DecryptionNeverLengthensDataAndRefusesAFinalCallOnNoBytes)
{
    const HCRYPTKEY key = newDesKey();
    const Bytes desKey = unwrapWithOpenSsl(exportBlob(key));
    const Bytes plain = bytesOf("0123456789abcdef0123456"); // 23 bytes: 24 of ciphertext
    const Bytes cipher = desCbc(desKey, plain, true).value();
    ASSERT_EQ(cipher.size(), 24u);

    Bytes buffer(cipher);
    DWORD length = 16;
    ASSERT_TRUE(CryptDecrypt(key, 0, FALSE, 0, buffer.data(), &length));
    ASSERT_EQ(length, 16u);
    Bytes out(buffer.begin(), buffer.begin() + length);
    length = 8;
    ASSERT_TRUE(CryptDecrypt(key, 0, TRUE, 0, buffer.data() + 16, &length));
    out.insert(out.end(), buffer.begin() + 16, buffer.begin() + 16 + length);
    EXPECT_EQ(out, plain);

    // The padding stays in a non-final piece; a final call after it has nothing to strip.
    buffer = cipher;
    length = 24;
    ASSERT_TRUE(CryptDecrypt(key, 0, FALSE, 0, buffer.data(), &length));
    EXPECT_EQ(length, 24u);
    length = 0;
    EXPECT_FALSE(CryptDecrypt(key, 0, TRUE, 0, buffer.data(), &length)) << "a final call on no bytes";
    EXPECT_EQ(GetLastError(), NTE_BAD_DATA);

    length = 0;
    EXPECT_FALSE(CryptDecrypt(key, 0, TRUE, 0, buffer.data(), &length)) << "nothing at all is no stream";
    EXPECT_EQ(GetLastError(), NTE_BAD_DATA);
    length = 12;
    EXPECT_FALSE(CryptDecrypt(key, 0, FALSE, 0, buffer.data(), &length));
    EXPECT_EQ(GetLastError(), NTE_BAD_DATA);

    // Wrong padding in the last block is refused.
    Bytes badPadding = desCbc(desKey, bytesOf("12345678"), true).value();
    badPadding.resize(8); // the data block alone: its last byte '8' is not padding
    std::memcpy(buffer.data(), badPadding.data(), 8);
    length = 8;
    EXPECT_FALSE(CryptDecrypt(key, 0, TRUE, 0, buffer.data(), &length));
    EXPECT_EQ(GetLastError(), NTE_BAD_DATA);
    CryptDestroyKey(key);
}

TEST_F(CryptoApiTest, ImportChecksTheBlobAndUnwrapsWithTheExchangeKey)
{
    const HCRYPTKEY original = newDesKey();
    const Bytes blob = exportBlob(original);
    Bytes buffer(16);
    DWORD length = 5;
    std::memcpy(buffer.data(), "hello", 5);
    ASSERT_TRUE(CryptEncrypt(original, 0, TRUE, 0, buffer.data(), &length, 16));

    HCRYPTKEY imported = 0;
    ASSERT_TRUE(CryptImportKey(m_context, blob.data(), static_cast<DWORD>(blob.size()), 0, 0, &imported));
    ASSERT_TRUE(CryptDecrypt(imported, 0, TRUE, 0, buffer.data(), &length));
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + length), bytesOf("hello"));
    CryptDestroyKey(imported);

    const auto refused = [&](Bytes changed, DWORD expectedError) {
        HCRYPTKEY key = 0;
        EXPECT_FALSE(
            CryptImportKey(m_context, changed.data(), static_cast<DWORD>(changed.size()), 0, 0, &key));
        EXPECT_EQ(GetLastError(), expectedError);
    };
    Bytes version = blob;
    version[1] = 3;
    refused(version, NTE_BAD_VER);
    Bytes reserved = blob;
    reserved[2] = 1;
    refused(reserved, NTE_BAD_DATA);
    refused(Bytes(blob.begin(), blob.end() - 1), NTE_BAD_DATA);
    Bytes padding = blob;
    padding[12 + 128] ^= 0x40;
    refused(padding, NTE_BAD_DATA);
    refused(Bytes(blob.begin(), blob.begin() + 8), NTE_BAD_DATA);

    // A wrapped key of the wrong length is no DES key.
    const PkeyPtr exchange = loadPemKey(sim::containerFiles(m_key.path()).exchangeKey);
    std::unique_ptr<EVP_PKEY_CTX, decltype(&EVP_PKEY_CTX_free)> ctx(EVP_PKEY_CTX_new(exchange.get(), nullptr),
                                                                    &EVP_PKEY_CTX_free);
    ASSERT_EQ(EVP_PKEY_encrypt_init(ctx.get()), 1);
    const Bytes sixteen(16, 0x5A);
    Bytes wrapped(256);
    size_t wrappedLength = wrapped.size();
    ASSERT_EQ(EVP_PKEY_encrypt(ctx.get(), wrapped.data(), &wrappedLength, sixteen.data(), sixteen.size()), 1);
    Bytes longKey(blob.begin(), blob.begin() + 12);
    const Bytes reversedWrapped = reversedBytes(wrapped);
    longKey.insert(longKey.end(), reversedWrapped.begin(), reversedWrapped.end());
    refused(longKey, NTE_BAD_DATA);
    CryptDestroyKey(original);
}

TEST_F(CryptoApiTest, HandlesDieWithTheirContextAndAreNotInterchangeable)
{
    const HCRYPTKEY key = newDesKey();
    HCRYPTHASH hash = 0;
    ASSERT_TRUE(CryptCreateHash(m_context, CALG_MD5, 0, 0, &hash));
    EXPECT_FALSE(CryptDestroyKey(hash)) << "a hash handle is no key handle";
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(CryptHashData(key, nullptr, 0, 0));

    ASSERT_TRUE(CryptReleaseContext(m_context, 0));
    m_context = 0;
    EXPECT_FALSE(CryptDestroyKey(key));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(CryptDestroyHash(hash));
    EXPECT_FALSE(CryptReleaseContext(1234, 0));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(CryptoApiAcquire, FailsWithoutAContainerOrWhileTheKeyIsUnplugged)
{
    HCRYPTPROV context = 0;
    {
        SimulatedKeyDirectory key;
        key.unplug();
        EXPECT_FALSE(CryptAcquireContextA(&context, nullptr, kProvider, PROV_RSA_FULL, 0));
        EXPECT_EQ(GetLastError(), NTE_BAD_KEYSET);
    }
    {
        SimulatedKeyDirectory key;
        key.removeFile("container.name");
        EXPECT_FALSE(CryptAcquireContextA(&context, nullptr, kProvider, PROV_RSA_FULL, 0));
        EXPECT_EQ(GetLastError(), NTE_BAD_KEYSET);
    }
    {
        // A container without a signature pair opens, and says so when that pair is asked for.
        SimulatedKeyDirectory key;
        key.removeFile("signature.pem");
        ASSERT_TRUE(CryptAcquireContextA(&context, nullptr, kProvider, PROV_RSA_FULL, 0));
        HCRYPTKEY user = 0;
        EXPECT_FALSE(CryptGetUserKey(context, AT_SIGNATURE, &user));
        EXPECT_EQ(GetLastError(), NTE_NO_KEY);
        EXPECT_TRUE(CryptGetUserKey(context, AT_KEYEXCHANGE, &user));
        EXPECT_TRUE(CryptDestroyKey(user));
        EXPECT_TRUE(CryptReleaseContext(context, 0));
    }
    SimulatedKeyDirectory key;
    EXPECT_FALSE(CryptAcquireContextA(&context, nullptr, "No Such Provider", PROV_RSA_FULL, 0));
    EXPECT_EQ(GetLastError(), NTE_KEYSET_NOT_DEF);
    EXPECT_FALSE(CryptAcquireContextA(&context, nullptr, kProvider, 24, 0));
    EXPECT_EQ(GetLastError(), NTE_PROV_TYPE_NO_MATCH);
    EXPECT_FALSE(CryptAcquireContextA(&context, nullptr, kProvider, PROV_RSA_FULL, 8));
    EXPECT_EQ(GetLastError(), NTE_BAD_FLAGS);
}

} // namespace
} // namespace talvo::testing
