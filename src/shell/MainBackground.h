#pragma once
#include <QImage>
#include <QString>
#include <functional>

// The main window's background: a colour and an optional logo, tiled or centred, kept in
// the settings shared with the maker's other programs.
class MainBackground {
public:
    static constexpr int kDefaultColor = 15856113; // red, green and blue 241

    // LoadMainBG: reads the settings and loads the logo (a broken logo is reported and
    // leaves the colour alone).
    void load();
    void release();
    // The composed picture for an inner area of the given size in pixels.
    QImage compose(const QSize &inner) const;

    bool logoLoaded() const { return m_loaded; }
    int mode() const { return m_mode; }
    int color() const { return m_color; }
    const QImage &logo() const { return m_logo; }
    void setMode(int mode);

    // Menu commands 1 to 7; each asks, stores and redraws as its menu item promises.
    void command(int number);

    // Called to repaint the window; the window decides whether it is visible.
    std::function<void()> redraw;
    std::function<bool()> visible;

    static QString defaultLogo();
    static QString storedLogo();

private:
    QString chooseFile(const QString &title, const QString &initial);
    void reloadAndRedraw();
    void colourNote();
    void requestRedraw() const;

    bool m_loaded = false;
    int m_mode = 0;
    int m_color = kDefaultColor;
    QImage m_logo;
};
