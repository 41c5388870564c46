#pragma once
// The embedded web browser of the banner slot: loads one page at a time over HTTP
// without ever blocking the user-interface thread and shows it as simple rich text.
// Like the system browser it stands in for, it reports status texts while it works and
// a completed navigation at the end, and a page it cannot load is replaced by an error
// page of its own whose address starts with "res://".
// Anyone on the network path chooses the page, so a page is cut to the banner's
// budget before layout (banner_page.h), and each page gets a document of its own that
// holds only the pictures fetched for it and loads nothing by itself.

#include <QNetworkReply>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QWidget>

class QNetworkAccessManager;

class QTextBrowser;
class QTextDocument;

namespace hk::toolkit {

class Download;

class WebBrowser : public QWidget {
    Q_OBJECT
    // The browser object's own visibility flag, apart from the control's shown or
    // hidden state; it is only stored and reported.
    Q_PROPERTY(
        bool Visible READ BrowserVisible WRITE setBrowserVisible NOTIFY BrowserVisibleChanged)
  public:
    // Largest page accepted; a longer one is a failed load.
    static constexpr qint64 kMaxPageBytes = 1 << 20;
    // Pictures fetched for one page, at most; the rest stay empty frames.
    static constexpr int kMaxPictures = 8;
    // A picture longer on the wire, or larger once decoded (told by its header, before
    // decoding), is dropped: eight of the largest take 32 MiB.
    static constexpr qint64 kMaxPictureBytes = 512 * 1024;
    static constexpr int kMaxPictureSide = 2048;
    static constexpr qint64 kMaxPicturePixels = 1024 * 1024;
    // A load that receives nothing for this long fails.
    static constexpr int kTransferTimeoutMs = 20000;

    explicit WebBrowser(QWidget* parent = nullptr);
    ~WebBrowser() override;

    // Starts loading `address` and returns at once; a load still running is dropped.
    void Navigate(const QString& address);
    // Drops a running load, if any; no events follow for it.
    void Stop();

    bool BrowserVisible() const { return browserVisible_; }
    void setBrowserVisible(bool on);

    // Address of the page shown now (a "res://" address after a failed load).
    QString LocationURL() const { return location_; }
    bool Busy() const { return reply_ != nullptr; }
    // The page as shown, plain text, for the curious (and for tests).
    QString PageText() const;
    // Pictures of the page shown now that have arrived.
    int PicturesShown() const { return picturesShown_; }
    // Pictures of the page shown now still on their way.
    int PicturesLoading() const { return static_cast<int>(pictures_.size()); }

    // Error page address that replaces a page which could not be loaded.
    static QString ErrorPageAddress(const QString& failedAddress);

  signals:
    void StatusTextChange(const QString& text);
    void NavigateComplete2(const QString& url);
    void BrowserVisibleChanged(bool on);

  private:
    void Finished(Download& download);
    void ShowPage(const QUrl& url, const QByteArray& body, const QByteArray& contentType);
    void ShowErrorPage(const QString& failedAddress, const QString& reason);
    void LinkClicked(const QUrl& url);
    Download* Get(const QUrl& url, qint64 maxBytes);
    void FetchPictures(const QList<QUrl>& addresses);
    void PictureArrived(Download& download, const QUrl& address);
    // Shows `page`, dropping the page before it with all its pictures.
    void SetDocument(QTextDocument* page);

    QNetworkAccessManager* network_;
    QTextBrowser* view_;
    QPointer<QNetworkReply> reply_;
    QList<QPointer<QNetworkReply>> pictures_;
    int picturesShown_ = 0;
    QString location_;
    unsigned navigation_ = 0;  // counts navigations, so stale ones can tell
    bool browserVisible_ = true;
};

// Text of an HTML page from its bytes: the charset of the Content-Type header, else
// of a <meta> tag, else UTF-8 when the bytes are valid UTF-8, else Windows-1251.
QString decodeHtml(const QByteArray& body, const QByteArray& contentType);

}  // namespace hk::toolkit
