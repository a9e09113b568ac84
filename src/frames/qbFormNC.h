#pragma once

#include <QDialog>

// A window without a title bar that keeps a thin three-pixel frame. Its controls live in
// Client(), whose (0, 0) is the first pixel inside the frame; the window is the client plus
// the frame on every side.
class TfrmQbNoCaption : public QDialog {
    Q_OBJECT
public:
    static constexpr int FrameWidth = 3;

    explicit TfrmQbNoCaption(QWidget* parent = nullptr);

    QWidget* Client() const { return m_client; }
    QSize ClientSize() const;
    // A dialog frame does not resize: the window is fixed at this client size.
    void SetClientSize(QSize size);
    void SetClientSize(int width, int height) { SetClientSize(QSize(width, height)); }
    // The client's background.
    QColor Color() const;
    void SetColor(const QColor& color);

protected:
    // Paints the frame around the client on an image of the window's size.
    virtual void DrawFrame(QPainter& painter, QSize outer) const;

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QWidget* m_client;
    bool m_centred = false;
};
