#include "toolkit/web_browser.h"

#include <QImage>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>

#include "toolkit/codepage.h"
#include "toolkit/shell.h"

namespace hk::toolkit {

namespace {

bool isWebScheme(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
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
    explicit Download(QNetworkReply* reply) : QObject(reply), reply_(reply) {
        reply->setReadBufferSize(kReadBufferBytes);
        connect(reply, &QNetworkReply::readyRead, this, [this] {
            body_ += reply_->readAll();
            if (body_.size() > WebBrowser::kMaxPageBytes) Refuse();
        });
        // A declared length says early what the body would say late.
        connect(reply, &QNetworkReply::downloadProgress, this, [this](qint64, qint64 total) {
            if (total > WebBrowser::kMaxPageBytes) Refuse();
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

Download* WebBrowser::Get(const QUrl& url) {
    QNetworkRequest request(url);
    request.setTransferTimeout(kTransferTimeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Hintkeeper/1.30"));
    return new Download(network_->get(request));
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

    Download* download = Get(url);
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
    location_ = url.toString();
    picturesShown_ = 0;
    view_->document()->setBaseUrl(url);
    if (contentType.toLower().startsWith("text/plain")) {
        view_->setPlainText(decodeHtml(body, contentType));
    } else {
        view_->setHtml(decodeHtml(body, contentType));
        FetchPictures(url);
    }
    emit StatusTextChange(QStringLiteral("Done"));
    emit NavigateComplete2(location_);
}

void WebBrowser::FetchPictures(const QUrl& base) {
    // The page is complete without its pictures; each one fills its frame as it
    // arrives, as a browser's would.
    QList<QUrl> names;
    QTextDocument* doc = view_->document();
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isImageFormat()) continue;
            const QUrl name(format.toImageFormat().name());
            if (!names.contains(name) && isWebScheme(base.resolved(name))) names << name;
        }
    }
    const unsigned navigation = navigation_;
    for (const QUrl& name : names.mid(0, kMaxPictures)) {
        Download* download = Get(base.resolved(name));
        pictures_ << download->reply();
        connect(download->reply(), &QNetworkReply::finished, this,
                [this, download, name, navigation] {
                    download->reply()->deleteLater();
                    if (navigation == navigation_) PictureArrived(*download, name);
                });
    }
}

void WebBrowser::PictureArrived(Download& download, const QUrl& name) {
    pictures_.removeAll(download.reply());
    if (download.reply()->error() != QNetworkReply::NoError || download.TooLarge()) return;
    QImage picture;
    if (!picture.loadFromData(download.Body())) return;
    QTextDocument* doc = view_->document();
    // The document looks pictures up by their address resolved against the page.
    doc->addResource(QTextDocument::ImageResource, doc->baseUrl().resolved(name), picture);
    doc->markContentsDirty(0, doc->characterCount());
    view_->viewport()->update();
    ++picturesShown_;
}

void WebBrowser::ShowErrorPage(const QString& failedAddress, const QString& reason) {
    // The error page is a page of its own: the navigation to it completes, and its
    // address in the status text tells the host the wanted page never came.
    location_ = ErrorPageAddress(failedAddress);
    picturesShown_ = 0;
    view_->document()->setBaseUrl(QUrl());
    view_->setHtml(
        QStringLiteral("<p>%1</p><p>%2</p>")
            .arg(tr("The page cannot be displayed").toHtmlEscaped(), reason.toHtmlEscaped()));
    emit StatusTextChange(location_);
    emit NavigateComplete2(location_);
}

void WebBrowser::LinkClicked(const QUrl& url) {
    // The banner's links lead away from the slot, into the user's own browser.
    const QUrl target = QUrl(location_).resolved(url);
    if (isWebScheme(target)) shellOpen(target.toString());
}

}  // namespace hk::toolkit
