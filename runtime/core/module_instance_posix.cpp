#include "runtime/core/module_instance.h"

// There are no module handles here; the value stays 0.
intptr_t ModuleInstance = 0;

intptr_t ModuleInstanceInit() { return ModuleInstance; }
