#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

// The one object the page script sees over the web channel: a separate small object, because
// the channel publishes every property of what it is given.
class TqbDhtmlBridge : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

public slots:
    void report(const QString& kind, const QVariantMap& state) { emit Reported(kind, state); }
    // A picture's bytes in base64; name empty for a pasted one.
    void keepPicture(const QString& doc, const QString& type, const QString& name,
                     const QString& base64) {
        emit PictureGiven(doc, type, name, base64);
    }
    // An office program's clipboard HTML, taken instead of pasted, with the class names the
    // note's own style sheets define.
    void cleanPaste(const QString& doc, const QString& html, const QStringList& noteClasses) {
        emit OfficeHtmlGiven(doc, html, noteClasses);
    }

signals:
    void Reported(const QString& kind, const QVariantMap& state);
    void PictureGiven(const QString& doc, const QString& type, const QString& name,
                      const QString& base64);
    void OfficeHtmlGiven(const QString& doc, const QString& html, const QStringList& noteClasses);
};
