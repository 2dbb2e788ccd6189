#include "KeyDump.h"

#include "simulator/key/Cp936Text.h"
#include "simulator/key/KeyBackend.h"
#include "simulator/token/TokenReference.h"

namespace talvo::sim {

namespace {

const char* modeName(int32_t mode)
{
    switch (mode) {
    case 1:
        return "COMMON";
    case 2:
        return "ADMIN";
    case 3:
        return "SUPER";
    default:
        return "NONE";
    }
}

std::string quoted(const std::string& cp936)
{
    return "\"" + cp936ToUtf8(cp936) + "\"";
}

} // namespace

void dumpKey(std::ostream& out, const std::filesystem::path& directory, const KeyState& state, bool plugged)
{
    std::string certificate;
    std::string certificateError;
    const bool certificateWhole = openKeyBackend(directory)->readCertificate(certificate, &certificateError);

    out << "State directory: " << directory.string() << "\n";
    if (TokenReference token; readTokenReference(directory, token, nullptr) == ReferenceRead::Read)
        out << "Token:           " << token.uri << "\n"
            << "PIN:             "
            << (token.pinFile.empty() ? std::string("the token's PIN pad") : token.pinFile.string()) << "\n";
    out << "Plugged:         " << (plugged ? "yes" : "no") << "\n"
        << "Serial:          " << quoted(state.serial) << "\n"
        << "Flags:           factory " << int{state.factoryFlag} << ", format " << int{state.formatFlag}
        << ", init " << int{state.initFlag} << ", lock " << int{state.lockFlag} << ", time control "
        << int{state.timeControlFlag} << "\n"
        << "Error times:     " << state.errorTimes << "\n"
        << "Mode:            " << state.mode << " (" << modeName(state.mode) << ")\n"
        << "PIN hash:        " << quoted(state.pinHash) << "\n"
        << "Unit id:         " << quoted(state.unitId) << "\n"
        << "User id:         " << quoted(state.userId) << "\n"
        << "Key role:        " << state.keyRole << "\n"
        << "Certificate:     "
        << (certificateWhole ? std::to_string(certificate.size()) + " bytes (DER)" : certificateError) << "\n"
        << "Seals:           " << state.sealCount() << " of " << kSealSlots << "\n";
    for (int32_t number = kFirstSealNumber; number <= kLastSealNumber; ++number) {
        const SealRecord& seal = state.seal(number);
        if (!seal.inUse)
            continue;
        out << "  " << number << "  " << quoted(seal.name) << "  expires " << quoted(seal.expiryTime)
            << "  initialised " << quoted(seal.initTime) << "  picture " << seal.pictureSize << " bytes\n";
    }
    out << "Failures:" << (state.failures.empty() ? "        none" : "") << "\n";
    for (const auto& [function, status] : state.failures)
        out << "  " << function << " answers " << status << "\n";
}

} // namespace talvo::sim
