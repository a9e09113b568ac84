#include "platform/qbRenderPath.h"

#include <QDir>

namespace qbRenderPath {

namespace {

const QByteArray NoGpuFlag = "--disable-gpu";
// Each note is a document of its own, and the page's script heap would otherwise keep the
// garbage of the ones before it: some 35 MiB after 1,000 notes, against 5.
const QByteArray SmallScriptHeapFlag = "--js-flags=--optimize-for-size";

QByteArray WithFlag(const QByteArray& flags, const QByteArray& flag) {
    return (flags + ' ' + flag).trimmed();
}

bool HasRenderDevice() {
    return !QDir(QStringLiteral("/dev/dri"))
                .entryList({QStringLiteral("renderD*"), QStringLiteral("card*")}, QDir::System)
                .isEmpty();
}

} // namespace

TChoice Decide(const TMachine& machine) {
    // What the user asked for stays; only what was left open is chosen.
    TChoice choice;
    choice.EngineFlags = machine.EngineFlags;
    if (!machine.EngineFlags.contains("--js-flags"))
        choice.EngineFlags = WithFlag(choice.EngineFlags, SmallScriptHeapFlag);
    const bool software = !machine.HasRenderDevice || machine.SoftwareGlForced || machine.Headless;
    if (!software)
        return choice;
    if (machine.QuickBackend.isEmpty())
        choice.QuickBackend = "software";
    if (machine.GlIntegration.isEmpty())
        choice.GlIntegration = "none";
    if (!machine.EngineFlags.split(' ').contains(NoGpuFlag))
        choice.EngineFlags = WithFlag(choice.EngineFlags, NoGpuFlag);
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
    machine.GlIntegration = qgetenv("QT_XCB_GL_INTEGRATION");
    const TChoice choice = Decide(machine);
    if (!choice.QuickBackend.isEmpty())
        qputenv("QT_QUICK_BACKEND", choice.QuickBackend);
    if (!choice.GlIntegration.isEmpty())
        qputenv("QT_XCB_GL_INTEGRATION", choice.GlIntegration);
    if (choice.EngineFlags != machine.EngineFlags)
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", choice.EngineFlags);
}

} // namespace qbRenderPath
