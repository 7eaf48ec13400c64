#include "runtime/screen/screen.h"

#include "runtime/core/object_table.h"

namespace {

ObjectTable* spriteTable = nullptr;

// Sprites are never made by this system.
struct SpriteRecord {
    void* texture;
    int width, height;
};

}  // namespace

intptr_t GraphicsInit() {
    if (spriteTable) return reinterpret_cast<intptr_t>(spriteTable);
    if (!ScreenPlatformInit()) return 0;
    spriteTable = ObjectTableCreate(sizeof(SpriteRecord), 64, nullptr);
    return reinterpret_cast<intptr_t>(spriteTable);
}

void ScreenLibEnd() {
    ScreenClose();
    if (spriteTable) ObjectTableDestroy(spriteTable);
    spriteTable = nullptr;
    ScreenPlatformEnd();
}

ObjectTable* ScreenSpriteTable() { return spriteTable; }

void ScreenEmptySprites() {
    if (spriteTable) ObjectTableFreeAll(spriteTable);
}
