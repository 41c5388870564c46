#include "toolkit/web_browser.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "toolkit/banner_page.h"
#include "toolkit/codepage.h"
#include "toolkit/shell.h"

namespace hk::toolkit {

namespace {

bool isWebScheme(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

// One page's document. Its pictures are put in by the browser as they arrive; it
// never looks a resource up by itself, where the stock document and view fall back to
// reading the address as a local file (a FIFO blocks, /dev/zero never ends).
class PageDocument : public QTextDocument {
  public:
    using QTextDocument::QTextDocument;

  protected:
    QVariant loadResource(int, const QUrl&) override { return {}; }
};

// The picture at `bytes` when it is of a plain raster format and small enough, told
// from its header before anything is decoded.
QImage decodePicture(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    static const QByteArray formats[] = {"png", "jpeg", "jpg", "gif", "bmp"};
    if (std::find(std::begin(formats), std::end(formats), reader.format()) == std::end(formats))
        return {};
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > WebBrowser::kMaxPictureSide ||
        size.height() > WebBrowser::kMaxPictureSide ||
        qint64{size.width()} * size.height() > WebBrowser::kMaxPicturePixels)
        return {};
    QImage picture;
    if (!reader.read(&picture) || picture.size() != size) return {};
    return picture;
}

QByteArray charsetIn(const QByteArray& text) {
    static const QRegularExpression charset(
        QStringLiteral("charset\\s*=\\s*[\"']?\\s*([A-Za-z0-9_.:\\-]+)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = charset.match(QString::fromLatin1(text));
    return m.hasMatch() ? m.captured(1).toLatin1().toLower() : QByteArray();
}

}  // namespace

// One request's answer as it arrives. The reply's own buffer is kept small and emptied
// here as data comes, so the network thread reads no further ahead than that: a reply
// left to buffer by itself takes in an endless page as fast as the sender pushes it,
// and under load its progress reaches us only after hundreds of megabytes.
class Download : public QObject {
  public:
    static constexpr qint64 kReadBufferBytes = 64 * 1024;

    // Becomes a child of `reply`, so it lives exactly as long.
    Download(QNetworkReply* reply, qint64 maxBytes)
        : QObject(reply), reply_(reply), maxBytes_(maxBytes) {
        reply->setReadBufferSize(kReadBufferBytes);
        connect(reply, &QNetworkReply::readyRead, this, [this] {
            body_ += reply_->readAll();
            if (body_.size() > maxBytes_) Refuse();
        });
        // A declared length says early what the body would say late.
        connect(reply, &QNetworkReply::downloadProgress, this, [this](qint64, qint64 total) {
            if (total > maxBytes_) Refuse();
        });
    }

    QNetworkReply* reply() const { return reply_; }
    bool TooLarge() const { return tooLarge_; }
    // All of the answer that has arrived.
    QByteArray Body() { return body_ + reply_->readAll(); }

  private:
    void Refuse() {
        if (tooLarge_) return;
        tooLarge_ = true;
        body_.clear();
        reply_->abort();
    }

    QNetworkReply* reply_;
    qint64 maxBytes_;
    QByteArray body_;
    bool tooLarge_ = false;
};

QString decodeHtml(const QByteArray& body, const QByteArray& contentType) {
    QByteArray name = charsetIn(contentType);
    // A page that names its code page does so near the top.
    if (name.isEmpty()) name = charsetIn(body.left(2048));
    if (name == "windows-1251" || name == "cp1251" || name == "win-1251" || name == "x-cp1251")
        return fromCp1251(std::string_view(body.constData(), static_cast<size_t>(body.size())));
    if (!name.isEmpty()) {
        QStringDecoder named(name.constData());
        if (named.isValid()) return named.decode(body);
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(body);
    if (!utf8.hasError()) return text;
    // Pages of this part of the web that say nothing are mostly Windows-1251.
    return fromCp1251(std::string_view(body.constData(), static_cast<size_t>(body.size())));
}

WebBrowser::WebBrowser(QWidget* parent)
    : QWidget(parent), network_(new QNetworkAccessManager(this)), view_(new QTextBrowser(this)) {
    view_->setFrameShape(QFrame::NoFrame);
    view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view_->setOpenLinks(false);
    view_->setOpenExternalLinks(false);
    view_->setContextMenuPolicy(Qt::NoContextMenu);
    // A banner is for looking and clicking: it takes neither selections nor the
    // keyboard away from the game list.
    view_->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    view_->setFocusPolicy(Qt::NoFocus);
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(view_);
    SetDocument(new PageDocument(this));

    connect(view_, &QTextBrowser::anchorClicked, this, &WebBrowser::LinkClicked);
    // Pointing at a link shows its address, as any browser's status line does.
    connect(view_, qOverload<const QUrl&>(&QTextBrowser::highlighted), this,
            [this](const QUrl& url) {
                emit StatusTextChange(url.isEmpty() ? QString()
                                                    : QUrl(location_).resolved(url).toString());
            });
}

WebBrowser::~WebBrowser() {
    Stop();
}

void WebBrowser::setBrowserVisible(bool on) {
    if (browserVisible_ == on) return;
    browserVisible_ = on;
    emit BrowserVisibleChanged(on);
}

QString WebBrowser::PageText() const {
    return view_->toPlainText();
}

QString WebBrowser::ErrorPageAddress(const QString& failedAddress) {
    return QStringLiteral("res://hintkeeper/navcancl.htm#") + failedAddress;
}

void WebBrowser::Stop() {
    ++navigation_;
    auto drop = [this](QNetworkReply* reply) {
        if (!reply) return;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    };
    drop(reply_);
    reply_ = nullptr;
    for (const auto& picture : pictures_) drop(picture);
    pictures_.clear();
}

Download* WebBrowser::Get(const QUrl& url, qint64 maxBytes) {
    QNetworkRequest request(url);
    request.setTransferTimeout(kTransferTimeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Hintkeeper/1.30"));
    return new Download(network_->get(request), maxBytes);
}

void WebBrowser::Navigate(const QString& address) {
    Stop();
    const QUrl url = QUrl::fromUserInput(address);
    emit StatusTextChange(QStringLiteral("Opening page %1...").arg(address));
    if (!url.isValid() || !isWebScheme(url)) {
        // Reported from the event loop, as a load that failed at once would be.
        const unsigned navigation = navigation_;
        QTimer::singleShot(0, this, [this, navigation, address] {
            if (navigation == navigation_) ShowErrorPage(address, tr("Invalid address"));
        });
        return;
    }

    Download* download = Get(url, kMaxPageBytes);
    reply_ = download->reply();
    connect(reply_, &QNetworkReply::finished, this, [this, download] { Finished(*download); });
}

void WebBrowser::Finished(Download& download) {
    QNetworkReply* reply = download.reply();
    reply->deleteLater();
    if (reply != reply_) return;
    reply_ = nullptr;
    const QString address = reply->request().url().toString();
    if (download.TooLarge()) {
        ShowErrorPage(address, tr("The page is too large"));
        return;
    }
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError || status < 200 || status > 299) {
        ShowErrorPage(address, reply->errorString());
        return;
    }
    const QByteArray body = download.Body();
    if (body.size() > kMaxPageBytes) {
        ShowErrorPage(address, tr("The page is too large"));
        return;
    }
    ShowPage(reply->url(), body, reply->header(QNetworkRequest::ContentTypeHeader).toByteArray());
}

void WebBrowser::ShowPage(const QUrl& url, const QByteArray& body, const QByteArray& contentType) {
    const QString text = decodeHtml(body, contentType);
    auto* page = new PageDocument(this);
    page->setBaseUrl(url);
    QList<QUrl> pictures;
    if (contentType.toLower().startsWith("text/plain")) {
        if (text.size() > PageBudget::kMaxTextChars) {
            delete page;
            ShowErrorPage(url.toString(), tr("The page does not fit the banner: too much text"));
            return;
        }
        page->setPlainText(text);
    } else {
        const BannerPage fitted = fitPageToBanner(text, url);
        if (!fitted.refusal.isEmpty()) {
            delete page;
            ShowErrorPage(url.toString(), fitted.refusal);
            return;
        }
        page->setHtml(fitted.html);
        pictures = fitted.pictures;
    }
    SetDocument(page);
    location_ = url.toString();
    FetchPictures(pictures);
    emit StatusTextChange(QStringLiteral("Done"));
    emit NavigateComplete2(location_);
}

void WebBrowser::SetDocument(QTextDocument* page) {
    // The view deletes its first document, which it made itself, on the change.
    const QPointer<QTextDocument> old = view_->document();
    view_->setDocument(page);
    delete old.data();
    picturesShown_ = 0;
}

void WebBrowser::FetchPictures(const QList<QUrl>& addresses) {
    // The page is complete without its pictures; each one fills its frame as it
    // arrives, as a browser's would.
    const unsigned navigation = navigation_;
    for (const QUrl& address : addresses.mid(0, kMaxPictures)) {
        Download* download = Get(address, kMaxPictureBytes);
        pictures_ << download->reply();
        connect(download->reply(), &QNetworkReply::finished, this,
                [this, download, address, navigation] {
                    download->reply()->deleteLater();
                    if (navigation == navigation_) PictureArrived(*download, address);
                });
    }
}

void WebBrowser::PictureArrived(Download& download, const QUrl& address) {
    pictures_.removeAll(download.reply());
    if (download.reply()->error() != QNetworkReply::NoError || download.TooLarge()) return;
    const QImage picture = decodePicture(download.Body());
    if (picture.isNull()) return;
    QTextDocument* doc = view_->document();
    // The document looks pictures up by their address resolved against the page.
    doc->addResource(QTextDocument::ImageResource, doc->baseUrl().resolved(address), picture);
    doc->markContentsDirty(0, doc->characterCount());
    view_->viewport()->update();
    ++picturesShown_;
}

void WebBrowser::ShowErrorPage(const QString& failedAddress, const QString& reason) {
    // The error page is a page of its own: the navigation to it completes, and its
    // address in the status text tells the host the wanted page never came.
    location_ = ErrorPageAddress(failedAddress);
    auto* page = new PageDocument(this);
    page->setHtml(
        QStringLiteral("<p>%1</p><p>%2</p>")
            .arg(tr("The page cannot be displayed").toHtmlEscaped(), reason.toHtmlEscaped()));
    SetDocument(page);
    emit StatusTextChange(location_);
    emit NavigateComplete2(location_);
}

void WebBrowser::LinkClicked(const QUrl& url) {
    // The banner's links lead away from the slot, into the user's own browser.
    const QUrl target = QUrl(location_).resolved(url);
    if (isWebScheme(target)) shellOpen(target.toString());
}

}  // namespace hk::toolkit
