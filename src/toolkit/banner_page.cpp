#include "toolkit/banner_page.h"

#include <QRegularExpression>
#include <algorithm>
#include <vector>

namespace hk::toolkit {

namespace {

enum class Value {
    Length,
    Spacing,
    Colour,
    Align,
    VAlign,
    FontSize,
    Span,
    Href,
    Face,
    Style,
    Flag
};

struct AttributeRule {
    const char* tag;  // "*": any kept element
    const char* name;
    Value value;
};

// Everything a page may say about looks; the rest of HTML is dropped without a word.
constexpr AttributeRule kAttributes[] = {
    {"*", "align", Value::Align},
    {"*", "bgcolor", Value::Colour},
    {"*", "style", Value::Style},
    {"a", "href", Value::Href},
    {"img", "width", Value::Length},
    {"img", "height", Value::Length},
    {"font", "color", Value::Colour},
    {"font", "size", Value::FontSize},
    {"font", "face", Value::Face},
    {"body", "text", Value::Colour},
    {"body", "link", Value::Colour},
    {"table", "width", Value::Length},
    {"table", "border", Value::Spacing},
    {"table", "cellpadding", Value::Spacing},
    {"table", "cellspacing", Value::Spacing},
    {"tr", "valign", Value::VAlign},
    {"td", "width", Value::Length},
    {"td", "height", Value::Length},
    {"td", "valign", Value::VAlign},
    {"td", "colspan", Value::Span},
    {"td", "rowspan", Value::Span},
    {"td", "nowrap", Value::Flag},
    {"th", "width", Value::Length},
    {"th", "height", Value::Length},
    {"th", "valign", Value::VAlign},
    {"th", "colspan", Value::Span},
    {"th", "rowspan", Value::Span},
    {"th", "nowrap", Value::Flag},
};

constexpr const char* kTags[] = {
    "a",     "b",  "big",   "blockquote", "br",    "center", "code",   "div", "em",  "font",
    "h1",    "h2", "h3",    "h4",         "h5",    "h6",     "hr",     "i",   "img", "li",
    "nobr",  "ol", "p",     "s",          "small", "span",   "strong", "sub", "sup", "table",
    "tbody", "td", "tfoot", "th",         "thead", "tr",     "tt",     "u",   "ul"};

// Elements whose content is not text to show: skipped up to their end tag. The
// banner runs no scripts, so what a page offers in <noscript> is what it shows.
constexpr const char* kSkipped[] = {"script", "style",  "title",  "textarea", "xmp",
                                    "iframe", "object", "select", "template"};

bool isOneOf(QStringView name, const auto& list) {
    return std::any_of(std::begin(list), std::end(list),
                       [name](const char* s) { return name == QLatin1String(s); });
}

bool isVoid(QStringView name) {
    return name == u"br" || name == u"hr" || name == u"img";
}

bool isWebScheme(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return (scheme == u"http" || scheme == u"https") && !url.host().isEmpty();
}

bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == u'-' || c == u'_' || c == u':';
}

// "&amp;" and friends in an attribute value; anything else stays as written.
QString decodeEntities(QStringView in) {
    QString out;
    out.reserve(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        const qsizetype semi = in.at(i) == u'&' ? in.mid(i, 12).indexOf(u';') + i : -1;
        if (semi < i) {
            out += in.at(i);
            continue;
        }
        const QStringView name = in.mid(i + 1, semi - i - 1);
        char32_t code = 0;
        bool ok = true;
        if (name == u"amp")
            code = '&';
        else if (name == u"lt")
            code = '<';
        else if (name == u"gt")
            code = '>';
        else if (name == u"quot")
            code = '"';
        else if (name == u"apos")
            code = '\'';
        else if (name.startsWith(u"#x") || name.startsWith(u"#X"))
            code = name.mid(2).toUInt(&ok, 16);
        else if (name.startsWith(u'#'))
            code = name.mid(1).toUInt(&ok, 10);
        else
            ok = false;
        if (!ok || code == 0 || code > 0x10FFFF) {
            out += in.at(i);
            continue;
        }
        out += QString::fromUcs4(&code, 1);
        i = semi;
    }
    return out;
}

int clampedNumber(const QString& digits, int most) {
    // Ten digits and more overflow; they are all "most" anyway.
    if (digits.size() > 6) return most;
    return std::min(digits.toInt(), most);
}

// The attribute's value as it may be written back, or an empty string to drop it.
QString cleanValue(Value kind, const QString& raw);

QString cleanStyle(const QString& raw) {
    static const QRegularExpression fontSize(QStringLiteral("^(\\d+)(?:\\.\\d*)?(px|pt)$"));
    static const QRegularExpression keyword(QStringLiteral("^[a-z-]{1,16}$"));
    QString out;
    int declarations = 0;
    for (QStringView declaration : QStringView(raw).split(u';')) {
        if (++declarations > 16) break;
        const qsizetype colon = declaration.indexOf(u':');
        if (colon < 0) continue;
        const QString property = declaration.left(colon).trimmed().toString().toLower();
        const QString value = declaration.mid(colon + 1).trimmed().toString().toLower();
        QString kept;
        if (property == u"color" || property == u"background-color") {
            kept = cleanValue(Value::Colour, value);
        } else if (property == u"font-family") {
            kept = cleanValue(Value::Face, value);
        } else if (property == u"font-size") {
            const QRegularExpressionMatch m = fontSize.match(value);
            if (m.hasMatch()) {
                kept = QString::number(clampedNumber(m.captured(1), PageBudget::kMaxFontPixels)) +
                       m.captured(2);
            } else if (value.endsWith(u"small") || value.endsWith(u"large") || value == u"medium") {
                kept = value;
            }
        } else if (property == u"font-weight" || property == u"font-style" ||
                   property == u"text-decoration" || property == u"text-align") {
            // Keywords and the numeric weights: none of them sets a size.
            static const QStringList words = {
                QStringLiteral("normal"),   QStringLiteral("bold"),
                QStringLiteral("bolder"),   QStringLiteral("lighter"),
                QStringLiteral("italic"),   QStringLiteral("oblique"),
                QStringLiteral("none"),     QStringLiteral("underline"),
                QStringLiteral("overline"), QStringLiteral("line-through"),
                QStringLiteral("left"),     QStringLiteral("right"),
                QStringLiteral("center"),   QStringLiteral("justify")};
            if (words.contains(value) || (value.size() == 3 && value.endsWith(u"00") &&
                                          value.at(0) >= u'1' && value.at(0) <= u'9'))
                kept = value;
        }
        if (!kept.isEmpty() && keyword.match(property).hasMatch())
            out += property + u':' + kept + u';';
    }
    return out;
}

QString cleanValue(Value kind, const QString& raw) {
    static const QRegularExpression length(QStringLiteral("^(\\d+)(?:\\.\\d*)?\\s*(%|px)?$"));
    static const QRegularExpression colour(QStringLiteral("^(#[0-9a-fA-F]{3,8}|[a-zA-Z]{1,20})$"));
    static const QRegularExpression fontSize(QStringLiteral("^[+-]?[1-7]$"));
    static const QRegularExpression face(QStringLiteral("^[A-Za-z0-9 ,'\"_-]{1,64}$"));
    const QString value = raw.trimmed();
    switch (kind) {
        case Value::Length: {
            const QRegularExpressionMatch m = length.match(value);
            if (!m.hasMatch()) return {};
            const bool percent = m.captured(2) == u"%";
            const int n = clampedNumber(m.captured(1), percent ? 100 : PageBudget::kMaxLength);
            return QString::number(n) + (percent ? QStringLiteral("%") : QString());
        }
        case Value::Spacing: {
            const QRegularExpressionMatch m = length.match(value);
            if (!m.hasMatch() || !m.captured(2).isEmpty()) return {};
            return QString::number(clampedNumber(m.captured(1), PageBudget::kMaxSpacing));
        }
        case Value::Span: {
            const QRegularExpressionMatch m = length.match(value);
            if (!m.hasMatch() || !m.captured(2).isEmpty()) return {};
            return QString::number(std::max(1, clampedNumber(m.captured(1), PageBudget::kMaxSpan)));
        }
        case Value::Colour:
            return colour.match(value).hasMatch() ? value : QString();
        case Value::FontSize:
            return fontSize.match(value).hasMatch() ? value : QString();
        case Value::Face:
            return face.match(value).hasMatch() ? value : QString();
        case Value::Align: {
            const QString v = value.toLower();
            return v == u"left" || v == u"right" || v == u"center" || v == u"justify" ? v
                                                                                      : QString();
        }
        case Value::VAlign: {
            const QString v = value.toLower();
            return v == u"top" || v == u"middle" || v == u"bottom" ? v : QString();
        }
        case Value::Href:
            return value.size() <= PageBudget::kMaxAddress ? value : QString();
        case Value::Style:
            return value.size() <= 1024 ? cleanStyle(value) : QString();
        case Value::Flag:
            return QStringLiteral("nowrap");
    }
    return {};
}

struct Attribute {
    QString name;
    QString value;
};

// One pass over the page, writing what may stay as it goes; it stops at the first
// thing over budget, so no page costs more than one look at each of its characters.
class Fitter {
  public:
    Fitter(QStringView in, const QUrl& base) : in_(in), base_(base) {}

    BannerPage Run() {
        while (pos_ < in_.size() && refusal_.isEmpty()) Step();
        while (!open_.empty()) Close();
        BannerPage page;
        if (!refusal_.isEmpty()) {
            page.refusal = refusal_;
            return page;
        }
        page.html =
            QStringLiteral("<html><body") + body_ + u'>' + out_ + QStringLiteral("</body></html>");
        page.pictures = pictures_;
        return page;
    }

  private:
    void Step() {
        const qsizetype lt = in_.indexOf(u'<', pos_);
        if (lt < 0) {
            Text(in_.mid(pos_));
            pos_ = in_.size();
            return;
        }
        Text(in_.mid(pos_, lt - pos_));
        pos_ = lt;
        const QStringView rest = in_.mid(pos_);
        if (rest.startsWith(u"<!--")) {
            const qsizetype end = in_.indexOf(u"-->", pos_ + 4);
            pos_ = end < 0 ? in_.size() : end + 3;
        } else if (rest.size() > 1 && (rest.at(1) == u'!' || rest.at(1) == u'?')) {
            const qsizetype end = in_.indexOf(u'>', pos_);
            pos_ = end < 0 ? in_.size() : end + 1;
        } else if (rest.size() > 2 && rest.at(1) == u'/' && rest.at(2).isLetter()) {
            pos_ += 2;
            const QString name = Name();
            const qsizetype end = in_.indexOf(u'>', pos_);
            pos_ = end < 0 ? in_.size() : end + 1;
            EndTag(name);
        } else if (rest.size() > 1 && rest.at(1).isLetter()) {
            ++pos_;
            Tag();
        } else {
            Text(u"<");
            ++pos_;
        }
    }

    QString Name() {
        const qsizetype start = pos_;
        while (pos_ < in_.size() && isNameChar(in_.at(pos_))) ++pos_;
        return in_.mid(start, pos_ - start).toString().toLower();
    }

    void SkipSpaces() {
        while (pos_ < in_.size() && in_.at(pos_).isSpace()) ++pos_;
    }

    // A start tag after its "<": its name, the attributes this tag may keep, its ">".
    void Tag() {
        const QString name = Name();
        const bool kept = isOneOf(name, kTags) || name == u"body";
        std::vector<Attribute> attributes;
        for (;;) {
            SkipSpaces();
            if (pos_ >= in_.size()) return;  // a tag cut off by the end of the page
            const QChar c = in_.at(pos_);
            if (c == u'>') {
                ++pos_;
                break;
            }
            if (c == u'/' || c == u'=' || c == u'"' || c == u'\'') {
                ++pos_;
                continue;
            }
            qsizetype start = pos_;
            while (pos_ < in_.size() && !in_.at(pos_).isSpace() && in_.at(pos_) != u'>' &&
                   in_.at(pos_) != u'=' && in_.at(pos_) != u'/')
                ++pos_;
            // A dropped element's attributes are only stepped over.
            const QString attribute =
                kept ? in_.mid(start, pos_ - start).toString().toLower() : QString();
            SkipSpaces();
            QStringView value;
            if (pos_ < in_.size() && in_.at(pos_) == u'=') {
                ++pos_;
                SkipSpaces();
                if (pos_ < in_.size() && (in_.at(pos_) == u'"' || in_.at(pos_) == u'\'')) {
                    const qsizetype close = in_.indexOf(in_.at(pos_), pos_ + 1);
                    if (close < 0) {
                        // The rest of the page is this value, as a browser reads it.
                        pos_ = in_.size();
                        return;
                    }
                    value = in_.mid(pos_ + 1, close - pos_ - 1);
                    pos_ = close + 1;
                } else {
                    start = pos_;
                    while (pos_ < in_.size() && !in_.at(pos_).isSpace() && in_.at(pos_) != u'>')
                        ++pos_;
                    value = in_.mid(start, pos_ - start);
                }
            }
            const bool known = std::any_of(attributes.begin(), attributes.end(),
                                           [&](const Attribute& a) { return a.name == attribute; });
            if (kept && !known && value.size() <= PageBudget::kMaxAddress &&
                Allowed(name, attribute))
                attributes.push_back({attribute, decodeEntities(value)});
        }
        if (isOneOf(name, kSkipped)) {
            SkipContent(name);
            return;
        }
        if (!kept) return;
        if (name == u"body") {
            if (!bodySeen_) body_ = Attributes(name, attributes);
            bodySeen_ = true;
            return;
        }
        Open(name, attributes);
    }

    static bool Allowed(const QString& tag, const QString& attribute) {
        if (tag == u"img" && attribute == u"src") return true;
        return std::any_of(std::begin(kAttributes), std::end(kAttributes),
                           [&](const AttributeRule& r) { return Matches(r, tag, attribute); });
    }

    static bool Matches(const AttributeRule& rule, const QString& tag, const QString& attribute) {
        return (tag == QLatin1String(rule.tag) || *rule.tag == '*') &&
               attribute == QLatin1String(rule.name);
    }

    void SkipContent(const QString& name) {
        const QString end = QStringLiteral("</") + name;
        const qsizetype at = in_.indexOf(end, pos_, Qt::CaseInsensitive);
        pos_ = at < 0 ? in_.size() : at;
    }

    QString Attributes(const QString& tag, const std::vector<Attribute>& attributes) {
        QString out;
        for (const Attribute& a : attributes) {
            const auto rule =
                std::find_if(std::begin(kAttributes), std::end(kAttributes),
                             [&](const AttributeRule& r) { return Matches(r, tag, a.name); });
            if (rule == std::end(kAttributes)) continue;
            const QString value = cleanValue(rule->value, a.value);
            if (!value.isEmpty())
                out += u' ' + a.name + QStringLiteral("=\"") + value.toHtmlEscaped() + u'"';
        }
        return out;
    }

    void Open(const QString& name, const std::vector<Attribute>& attributes) {
        CloseImplied(name);
        if (++elements_ > PageBudget::kMaxElements) return Refuse("too many elements");
        QString extra;
        if (name == u"img") {
            const auto src = std::find_if(attributes.begin(), attributes.end(),
                                          [](const Attribute& a) { return a.name == u"src"; });
            if (src == attributes.end()) return;
            if (++pictureElements_ > PageBudget::kMaxPictures) return Refuse("too many pictures");
            // Only a picture the banner can fetch from the web: never a file, whatever
            // the address looks like.
            const QUrl url = base_.resolved(QUrl(src->value.trimmed()));
            if (!isWebScheme(url) || !url.isValid()) return;
            const QString address = url.toString(QUrl::FullyEncoded);
            extra = QStringLiteral(" src=\"") + address.toHtmlEscaped() + u'"';
            const QUrl written(address);
            if (!pictures_.contains(written)) pictures_ << written;
        }
        if (name == u"table" && Count(u"table") >= PageBudget::kMaxTableDepth)
            return Refuse("tables nested too deep");
        if ((name == u"td" || name == u"th") && ++cells_ > PageBudget::kMaxTableCells)
            return Refuse("too many table cells");
        out_ += u'<' + name + extra + Attributes(name, attributes) + u'>';
        if (isVoid(name)) return;
        if (static_cast<int>(open_.size()) >= PageBudget::kMaxDepth)
            return Refuse("elements nested too deep");
        open_.push_back(name);
    }

    // End tags a page may leave out, as browsers add them: a new paragraph or block
    // ends an open paragraph, a new item the last item of its list, a new cell or row
    // the last one of its table.
    void CloseImplied(const QString& name) {
        auto closeTo = [this](std::initializer_list<const char*> targets,
                              std::initializer_list<const char*> scope) {
            for (auto it = open_.rbegin(); it != open_.rend(); ++it) {
                if (isOneOf(*it, scope)) return;
                if (isOneOf(*it, targets)) {
                    const size_t keep = static_cast<size_t>(open_.rend() - it) - 1;
                    while (open_.size() > keep) Close();
                    return;
                }
            }
        };
        if (name == u"li") closeTo({"li"}, {"ul", "ol", "table"});
        if (name == u"td" || name == u"th") closeTo({"td", "th"}, {"tr", "table"});
        if (name == u"tr") closeTo({"tr"}, {"table"});
        if (name == u"thead" || name == u"tbody" || name == u"tfoot")
            closeTo({"thead", "tbody", "tfoot"}, {"table"});
        static constexpr const char* kBlocks[] = {"p",  "div", "table",      "ul",    "ol",
                                                  "h1", "h2",  "h3",         "h4",    "h5",
                                                  "h6", "hr",  "blockquote", "center"};
        if (isOneOf(name, kBlocks)) closeTo({"p"}, {"td", "th", "table", "li"});
    }

    void EndTag(const QString& name) {
        const auto it = std::find(open_.rbegin(), open_.rend(), name);
        if (it == open_.rend()) return;
        const size_t keep = static_cast<size_t>(open_.rend() - it) - 1;
        while (open_.size() > keep) Close();
    }

    void Close() {
        out_ += QStringLiteral("</") + open_.back() + u'>';
        open_.pop_back();
    }

    int Count(QStringView name) const {
        return static_cast<int>(std::count(open_.begin(), open_.end(), name));
    }

    // Text as written, with white space runs made one space, markup characters
    // escaped and only well-formed character references kept.
    void Text(QStringView text) {
        static const QRegularExpression reference(
            QStringLiteral("^&(?:[A-Za-z][A-Za-z0-9]{0,9}|#[0-9]{1,7}|#[xX][0-9A-Fa-f]{1,6});"));
        bool space = false;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i);
            if (c.isSpace()) {
                if (!space) Put(QStringLiteral(" "));
                space = true;
                continue;
            }
            space = false;
            if (c == u'<') {
                Put(QStringLiteral("&lt;"));
            } else if (c == u'>') {
                Put(QStringLiteral("&gt;"));
            } else if (c == u'&') {
                const QRegularExpressionMatch m = reference.match(text.mid(i, 16));
                if (m.hasMatch()) {
                    Put(m.captured(0));
                    i += m.capturedLength(0) - 1;
                } else {
                    Put(QStringLiteral("&amp;"));
                }
            } else if (c.category() != QChar::Other_Control) {
                Put(QString(c));
            }
            if (!refusal_.isEmpty()) return;
        }
    }

    // One shown character, written as `written`.
    void Put(const QString& written) {
        if (++text_ > PageBudget::kMaxTextChars) return Refuse("too much text");
        out_ += written;
    }

    void Refuse(const char* why) {
        if (refusal_.isEmpty())
            refusal_ = QStringLiteral("The page does not fit the banner: ") + QLatin1String(why);
    }

    QStringView in_;
    QUrl base_;
    qsizetype pos_ = 0;
    QString out_;
    QString body_;
    bool bodySeen_ = false;
    std::vector<QString> open_;
    QList<QUrl> pictures_;
    int elements_ = 0;
    int pictureElements_ = 0;
    int cells_ = 0;
    int text_ = 0;
    QString refusal_;
};

}  // namespace

BannerPage fitPageToBanner(QStringView html, const QUrl& base) {
    return Fitter(html, base).Run();
}

}  // namespace hk::toolkit
