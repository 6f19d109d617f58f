#ifndef APP_RESOURCES_H
#define APP_RESOURCES_H

namespace xcr {

// Registers the program's pictures (":/glyphs/...", ":/icon/...", ":/about/...").
// They live in a static library, so the program calls this once before it needs them;
// further calls do nothing.
void loadResources();

}  // namespace xcr

#endif
