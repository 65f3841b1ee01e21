// The SDL2 backend: real windows for top-level and popup windows.
#include "platform/os/Backend.h"

std::unique_ptr<TBackend> CreateSdlBackend() { return nullptr; }
