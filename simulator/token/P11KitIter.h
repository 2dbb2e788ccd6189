#pragma once

// p11-kit's iterator. Its header is still marked unstable, and names a parameter "template",
// which C++ reserves; within this include alone it is another name.
#define P11_KIT_FUTURE_UNSTABLE_API
#define template p11_kit_template
#include <p11-kit/iter.h>
#undef template

#include <memory>

namespace talvo::sim {

struct P11KitIterDeleter {
    void operator()(P11KitIter* iter) const { p11_kit_iter_free(iter); }
};
using P11KitIterPtr = std::unique_ptr<P11KitIter, P11KitIterDeleter>;

// A new iterator over everything (no URI), with the given behaviour.
P11KitIterPtr newP11KitIter(int behavior);

} // namespace talvo::sim
