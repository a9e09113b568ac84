#include "platform/qbRenderPath.h"

#include <QDir>

namespace qbRenderPath {

namespace {

const QByteArray NoGpuFlag = "--disable-gpu";

bool HasRenderDevice() {
    return !QDir(QStringLiteral("/dev/dri"))
                .entryList({QStringLiteral("renderD*"), QStringLiteral("card*")}, QDir::System)
                .isEmpty();
}

} // namespace

TChoice Decide(const TMachine& machine) {
    TChoice choice;
    choice.EngineFlags = machine.EngineFlags;
    const bool software = !machine.HasRenderDevice || machine.SoftwareGlForced || machine.Headless;
    if (!software)
        return choice;
    // What the user asked for stays; only what was left open is chosen.
    if (machine.QuickBackend.isEmpty())
        choice.QuickBackend = "software";
    if (!machine.EngineFlags.split(' ').contains(NoGpuFlag))
        choice.EngineFlags = (machine.EngineFlags + ' ' + NoGpuFlag).trimmed();
    return choice;
}

void Apply() {
    TMachine machine;
    machine.HasRenderDevice = HasRenderDevice();
    machine.SoftwareGlForced = qEnvironmentVariableIntValue("LIBGL_ALWAYS_SOFTWARE") != 0;
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    machine.Headless = platform.startsWith("offscreen") || platform.startsWith("minimal");
    machine.QuickBackend = qgetenv("QT_QUICK_BACKEND");
    machine.EngineFlags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    const TChoice choice = Decide(machine);
    if (!choice.QuickBackend.isEmpty())
        qputenv("QT_QUICK_BACKEND", choice.QuickBackend);
    if (choice.EngineFlags != machine.EngineFlags)
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", choice.EngineFlags);
}

} // namespace qbRenderPath
