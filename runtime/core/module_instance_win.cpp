#include <windows.h>

#include "runtime/core/module_instance.h"

intptr_t ModuleInstance = 0;

intptr_t ModuleInstanceInit() {
    if (!ModuleInstance) ModuleInstance = reinterpret_cast<intptr_t>(GetModuleHandleW(nullptr));
    return ModuleInstance;
}
