// A writer of the simulated key in $TALVO_SIM_DIR, run as a process of its own by the tests
// of concurrent and killed writers.
//   sim_key_writer count N   adds 1 to errorTimes N times, each a change of its own
//   sim_key_writer churn     for i = 1, 2, ...: sets errorTimes to i and adds seal 101 with a
//                            picture (or removes it), as the driver does, then prints i;
//                            runs until killed
#include "simulator/common/SimDirectory.h"
#include "simulator/key/FileLock.h"
#include "simulator/key/KeyProvisioning.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using namespace talvo::sim;

int fail(const std::string& error)
{
    std::fprintf(stderr, "sim_key_writer: %s\n", error.c_str());
    return 2;
}

int count(long times)
{
    std::string error;
    for (long i = 0; i < times; ++i) {
        const bool changed = changeKeyState(
            stateDirectory(),
            [](KeyState& state, std::string*) {
                ++state.errorTimes;
                return true;
            },
            &error);
        if (!changed)
            return fail(error);
    }
    return 0;
}

int churn()
{
    const KeyStore store(stateDirectory());
    std::string error;
    for (int32_t i = 1;; ++i) {
        FileLock lock;
        KeyState state;
        if (store.lock(lock, FileLock::Mode::Exclusive, &error) != FileLock::Result::Locked ||
            store.load(state, &error) != KeyStore::LoadResult::Loaded)
            return fail(error);
        state.errorTimes = i;
        SealRecord& seal = state.seal(kFirstSealNumber);
        if (seal.inUse) {
            seal = SealRecord{};
        } else {
            // The picture first, the record after: a kill in between leaves an orphan.
            const std::string picture(static_cast<std::size_t>(100 + i % 4000), static_cast<char>(i));
            if (!store.writePicture(kFirstSealNumber, picture, &error))
                return fail(error);
            seal.inUse = true;
            seal.name = "churn";
            seal.pictureSize = static_cast<uint32_t>(picture.size());
        }
        if (!store.save(state, &error))
            return fail(error);
        lock.release();
        std::printf("%d\n", i);
        std::fflush(stdout);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "count") == 0)
        return count(std::atol(argv[2]));
    if (argc == 2 && std::strcmp(argv[1], "churn") == 0)
        return churn();
    std::fprintf(stderr, "usage: sim_key_writer count N | churn\n");
    return 2;
}
