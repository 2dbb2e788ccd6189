#include "P11KitIter.h"

#include <new>

namespace talvo::sim {

P11KitIterPtr newP11KitIter(int behavior)
{
    P11KitIterPtr iter(p11_kit_iter_new(nullptr, static_cast<P11KitIterBehavior>(behavior)));
    if (!iter)
        throw std::bad_alloc();
    return iter;
}

} // namespace talvo::sim
