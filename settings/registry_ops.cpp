// The registry operations the key wrapper calls: the platform's, or a test's replacement.
#include "settings/registry_ops.h"

namespace {

const SRegistryOps kPlatformOps = {PlatformRegOpenKey, PlatformRegCreateKey, PlatformRegQueryValue,
                                   PlatformRegSetValue, PlatformRegCloseKey};
const SRegistryOps* g_pOps = &kPlatformOps;

} // namespace

const SRegistryOps& GetRegistryOps() {
    return *g_pOps;
}

const SRegistryOps& PlatformRegistryOps() {
    return kPlatformOps;
}

void SetRegistryOps(const SRegistryOps* ops) {
    g_pOps = ops != nullptr ? ops : &kPlatformOps;
}
