#pragma once

#include <QByteArray>

namespace talvo::testing {

// One certificate with known contents, made with OpenSSL for the tests: subject
// "C = CN, O = 测试单位, CN = TLV-TEST-1", issuer "CN = Talvo Test CA", serial
// 0x0123456789ABCDEF01, valid from 2024-01-02 03:04:05 UTC to 2034-01-02 03:04:05 UTC, a P-256
// key. The same certificate in both forms.
struct TestCertificate {
    QByteArray der;
    QByteArray pem;
};

const TestCertificate& testCertificate();
// The same, but for an 8 KiB serial number and a common name "TLV-", U+202E (right-to-left
// override), "gpj.exe", CR LF, "CN = forged".
const TestCertificate& hostileCertificate();

} // namespace talvo::testing
