#include "platform/RegistryLookup.h"

RegistryLookup& systemRegistryLookup() {
  static NoRegistryLookup lookup;
  return lookup;
}
