#include <QApplication>
#include <QString>
#include <cstring>

// Skins the host program: the skin is a Qt style sheet behind a four-byte ".SHE" header and
// goes to the whole application. The password and the colour adjustments are accepted for
// the caller's sake; this skin format has no use for them.
extern "C" __attribute__((visibility("default"))) int SkinH_AttachRes(const unsigned char* skin,
                                                                      int size,
                                                                      const char* password, int hue,
                                                                      int saturation,
                                                                      int brightness) {
    static_cast<void>(password);
    static_cast<void>(hue);
    static_cast<void>(saturation);
    static_cast<void>(brightness);
    if (skin == nullptr || size < 4 || std::memcmp(skin, ".SHE", 4) != 0) return 1;
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (app == nullptr) return 2;
    app->setStyleSheet(QString::fromUtf8(reinterpret_cast<const char*>(skin) + 4, size - 4));
    return 0;
}
