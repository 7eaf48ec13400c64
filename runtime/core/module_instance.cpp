#include "runtime/core/module_instance.h"

#include "runtime/core/process.h"

intptr_t ModuleInstance = 0;

intptr_t ModuleInstanceInit() {
    if (!ModuleInstance) ModuleInstance = ProcessModuleHandle();
    return ModuleInstance;
}
