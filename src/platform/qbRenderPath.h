#pragma once

#include <QByteArray>

// How the window and the web engine draw: through the graphics card where there is one, on the
// processor where there is none. A machine without a GPU draws OpenGL in software, which costs a
// blinking caret about 5 % of a core; Qt's software scene graph and Chromium's own raster path
// cost a tenth of that. Drawing on the processor needs no OpenGL at all, so its driver (and the
// compiler it loads, some 30 MiB) is not loaded either.
namespace qbRenderPath {

struct TMachine {
    bool HasRenderDevice = false;  // a DRM render or card node
    bool SoftwareGlForced = false; // LIBGL_ALWAYS_SOFTWARE
    bool Headless = false;         // offscreen or minimal platform plug-in
    QByteArray QuickBackend;       // QT_QUICK_BACKEND as the user set it
    QByteArray EngineFlags;        // QTWEBENGINE_CHROMIUM_FLAGS as the user set it
    QByteArray GlIntegration;      // QT_XCB_GL_INTEGRATION as the user set it
};

struct TChoice {
    QByteArray QuickBackend;  // empty: leave as it is
    QByteArray EngineFlags;
    QByteArray GlIntegration; // empty: leave as it is
};

TChoice Decide(const TMachine& machine);

// Reads what the machine has and sets the environment; before the application object exists.
void Apply();

} // namespace qbRenderPath
