#include "CCodeEditor.h"

#include "AppPaths.h"
#include "LuaCompletion.h"
#include "SkinManager.h"
#include "StyleWatcher.h"

#include <Qsci/qscilexerlua.h>

#include <QFontDatabase>
#include <QPainter>
#include <QTimer>

namespace {

// The cvn_ API and the print helpers form the lexer's fifth word class, so
// they stand out from plain Lua.
class CvnLuaLexer : public QsciLexerLua
{
public:
    using QsciLexerLua::QsciLexerLua;

    const char* keywords(int set) const override
    {
        if (set == 5)
            return "cvn_get_version cvn_send cvn_send_hex cvn_sleep_ms cvn_wave cvn_clear_rx cvn_receive "
                   "cvn_receive_until cvn_expect cvn_report cvn_port_is_open cvn_frame_parser println "
                   "qt_print";
        return QsciLexerLua::keywords(set);
    }
};

const char* const kLuaKeywords[] = {"and",      "break",  "do",   "else", "elseif", "end",  "false", "for",
                                    "function", "goto",   "if",   "in",   "local",  "nil",  "not",   "or",
                                    "repeat",   "return", "then", "true", "until",  "while"};

const char* const kLuaLibrary[] = {"assert(v, message)",
                                   "collectgarbage(opt, ...)",
                                   "dofile(filename)",
                                   "error(message, level)",
                                   "getmetatable(object)",
                                   "ipairs(t)",
                                   "load(chunk, chunkname, mode, env)",
                                   "loadfile(filename, mode, env)",
                                   "next(table, index)",
                                   "pairs(t)",
                                   "pcall(f, ...)",
                                   "print(...)",
                                   "rawequal(v1, v2)",
                                   "rawget(table, index)",
                                   "rawlen(v)",
                                   "rawset(table, index, value)",
                                   "require(modname)",
                                   "select(index, ...)",
                                   "setmetatable(table, metatable)",
                                   "tonumber(e, base)",
                                   "tostring(v)",
                                   "type(v)",
                                   "xpcall(f, msgh, ...)",
                                   "_G",
                                   "_VERSION",
                                   "string.byte(s, i, j)",
                                   "string.char(...)",
                                   "string.dump(function, strip)",
                                   "string.find(s, pattern, init, plain)",
                                   "string.format(formatstring, ...)",
                                   "string.gmatch(s, pattern, init)",
                                   "string.gsub(s, pattern, repl, n)",
                                   "string.len(s)",
                                   "string.lower(s)",
                                   "string.match(s, pattern, init)",
                                   "string.pack(fmt, v1, v2, ...)",
                                   "string.packsize(fmt)",
                                   "string.rep(s, n, sep)",
                                   "string.reverse(s)",
                                   "string.sub(s, i, j)",
                                   "string.unpack(fmt, s, pos)",
                                   "string.upper(s)",
                                   "table.concat(list, sep, i, j)",
                                   "table.insert(list, pos, value)",
                                   "table.move(a1, f, e, t, a2)",
                                   "table.pack(...)",
                                   "table.remove(list, pos)",
                                   "table.sort(list, comp)",
                                   "table.unpack(list, i, j)",
                                   "math.abs(x)",
                                   "math.ceil(x)",
                                   "math.cos(x)",
                                   "math.deg(x)",
                                   "math.exp(x)",
                                   "math.floor(x)",
                                   "math.fmod(x, y)",
                                   "math.huge",
                                   "math.log(x, base)",
                                   "math.max(x, ...)",
                                   "math.maxinteger",
                                   "math.min(x, ...)",
                                   "math.mininteger",
                                   "math.modf(x)",
                                   "math.pi",
                                   "math.rad(x)",
                                   "math.random(m, n)",
                                   "math.randomseed(x, y)",
                                   "math.sin(x)",
                                   "math.sqrt(x)",
                                   "math.tan(x)",
                                   "math.tointeger(x)",
                                   "math.type(x)",
                                   "math.ult(m, n)",
                                   "math.acos(x)",
                                   "math.asin(x)",
                                   "math.atan(y, x)",
                                   "os.clock()",
                                   "os.date(format, time)",
                                   "os.difftime(t2, t1)",
                                   "os.getenv(varname)",
                                   "os.time(table)",
                                   "io.write(...)",
                                   "io.read(...)",
                                   "io.open(filename, mode)",
                                   "io.lines(filename, ...)",
                                   "coroutine.create(f)",
                                   "coroutine.isyieldable()",
                                   "coroutine.resume(co, ...)",
                                   "coroutine.running()",
                                   "coroutine.status(co)",
                                   "coroutine.wrap(f)",
                                   "coroutine.yield(...)",
                                   "coroutine.close(co)",
                                   "utf8.char(...)",
                                   "utf8.charpattern",
                                   "utf8.codepoint(s, i, j, lax)",
                                   "utf8.codes(s, lax)",
                                   "utf8.len(s, i, j, lax)",
                                   "utf8.offset(s, n, i)"};

const char kRobotoMonoFile[] = "resources/font/RobotoMono-Regular-9.ttf";

} // namespace

CCodeEditor::CCodeEditor(QWidget* parent) : QsciScintilla(parent)
{
    setUtf8(true);
    setEolMode(EolUnix);
    m_lexer = new CvnLuaLexer(this);
    const QFont font = editorFont();
    m_lexer->setDefaultFont(font);
    m_lexer->setFont(font, -1);
    m_lexer->setFoldCompact(false);
    setLexer(m_lexer);
    setFont(font);
    setMarginsFont(font);

    // Line numbers, then a narrow margin for the error marker, then folding.
    setMarginType(0, NumberMargin);
    setMarginLineNumbers(0, true);
    setMarginType(kSymbolMargin, SymbolMargin);
    setMarginWidth(kSymbolMargin, 14);
    setMarginMarkerMask(kSymbolMargin, 1 << kErrorMarker);
    setMarginSensitivity(kSymbolMargin, false);
    setFolding(BoxedTreeFoldStyle, 2);
    markerDefine(Circle, kErrorMarker);
    updateLineNumberWidth();
    connect(this, &QsciScintilla::linesChanged, this, &CCodeEditor::updateLineNumberWidth);

    setCaretLineVisible(true);
    setCaretWidth(2);
    setBraceMatching(SloppyBraceMatch);
    setAutoIndent(true);
    setIndentationsUseTabs(false);
    setTabWidth(4);
    setIndentationGuides(true);
    setAnnotationDisplay(AnnotationBoxed);

    indicatorDefine(RoundBoxIndicator, kOccurrenceIndicator);
    SendScintilla(SCI_INDICSETALPHA, kOccurrenceIndicator, 60);
    SendScintilla(SCI_INDICSETUNDER, kOccurrenceIndicator, 1);
    m_occurrenceTimer = new QTimer(this);
    m_occurrenceTimer->setSingleShot(true);
    m_occurrenceTimer->setInterval(0);
    connect(m_occurrenceTimer, &QTimer::timeout, this, &CCodeEditor::updateOccurrences);
    connect(this, &QsciScintilla::cursorPositionChanged, m_occurrenceTimer, qOverload<>(&QTimer::start));
    connect(this, &QsciScintilla::textChanged, m_occurrenceTimer, qOverload<>(&QTimer::start));
    // The placeholder appears and goes with the first character.
    connect(this, &QsciScintilla::textChanged, viewport(), qOverload<>(&QWidget::update));

    // Completion: Lua keywords, the standard library and the cvn_ API (with
    // call tips), plus the words of the document.
    m_apis = new LuaCompletion(m_lexer);
    for (const char* word : kLuaKeywords)
        m_apis->add(QLatin1String(word));
    for (const char* entry : kLuaLibrary)
        m_apis->add(QLatin1String(entry));
    for (const QString& entry : apiCallTips())
        m_apis->add(entry);
    setAutoCompletionSource(AcsAll);
    setAutoCompletionThreshold(2);
    setAutoCompletionCaseSensitivity(true);
    setAutoCompletionUseSingle(AcusNever);
    setCallTipsStyle(CallTipsNoContext);
    setCallTipsVisible(0);
    setCallTipsPosition(CallTipsBelowText);

    SkinManager::instance()->registerWidget(this);
    connect(StyleWatcher::instance(), &StyleWatcher::skinChanged, this, &CCodeEditor::onSkinChanged);
    onSkinChanged(StyleWatcher::instance()->skinType());
}

CCodeEditor::~CCodeEditor() = default;

QStringList CCodeEditor::apiCallTips()
{
    return {QStringLiteral("cvn_get_version() -> string"),
            QStringLiteral("cvn_send(data) -> boolean"),
            QStringLiteral("cvn_send_hex(hex) -> boolean"),
            QStringLiteral("cvn_sleep_ms(ms)"),
            QStringLiteral("cvn_wave(value, ...)"),
            QStringLiteral("cvn_clear_rx()"),
            QStringLiteral("cvn_receive(timeout_ms) -> string"),
            QStringLiteral("cvn_receive_until(match, timeout_ms) -> found, data"),
            QStringLiteral("cvn_expect(cmd, expect, timeout_ms) -> found, data"),
            QStringLiteral("cvn_report(name, passed, detail) -> passed"),
            QStringLiteral("cvn_port_is_open() -> boolean"),
            QStringLiteral("cvn_frame_parser(data) -> frame or nil"),
            QStringLiteral("println(...)"),
            QStringLiteral("qt_print(...)")};
}

QFont CCodeEditor::editorFont()
{
    // "Consolas" where installed; otherwise the Roboto Mono shipped beside the
    // program. Chinese in comments and strings falls back to a CJK face.
    static const QString family = [] {
        if (QFontDatabase::hasFamily(QStringLiteral("Consolas")))
            return QStringLiteral("Consolas");
        const QString roboto = QStringLiteral("Roboto Mono");
        if (!QFontDatabase::hasFamily(roboto))
            QFontDatabase::addApplicationFont(AppPaths::dataPath(QLatin1String(kRobotoMonoFile)));
        QFont::insertSubstitutions(
            roboto, {QStringLiteral("Noto Sans Mono CJK SC"), QStringLiteral("Noto Sans CJK SC"),
                     QStringLiteral("WenQuanYi Zen Hei Mono"), QStringLiteral("Microsoft YaHei"),
                     QStringLiteral("DejaVu Sans Mono")});
        return roboto;
    }();
    QFont font(family, 10);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    return font;
}

void CCodeEditor::setPlaceholderText(const QString& text)
{
    m_placeholder = text;
    viewport()->update();
}

int CCodeEditor::textCursorPosition() const
{
    const long bytePos = SendScintilla(SCI_GETCURRENTPOS);
    return int(SendScintilla(SCI_COUNTCHARACTERS, 0UL, bytePos));
}

void CCodeEditor::setTextCursorPosition(int position)
{
    const long bytes = SendScintilla(SCI_GETLENGTH);
    const int chars = int(SendScintilla(SCI_COUNTCHARACTERS, 0UL, bytes));
    position = qBound(0, position, chars);
    const long bytePos = position == chars ? bytes : SendScintilla(SCI_POSITIONRELATIVE, 0UL, long(position));
    SendScintilla(SCI_GOTOPOS, static_cast<unsigned long>(bytePos));
}

int CCodeEditor::verticalScrollValue() const
{
    return int(SendScintilla(SCI_GETFIRSTVISIBLELINE));
}

void CCodeEditor::setVerticalScrollValue(int line)
{
    SendScintilla(SCI_SETFIRSTVISIBLELINE, static_cast<unsigned long>(qMax(0, line)));
}

QString CCodeEditor::styleForSkin(int skinType)
{
    return skinType == 0 ? QStringLiteral(":/default_style.xml") : QStringLiteral(":/drakula.xml");
}

void CCodeEditor::onSkinChanged(int skinType)
{
    const QString path = styleForSkin(skinType);
    if (path == m_stylePath)
        return;
    if (!setColorStyle(path))
        useDefaultColorStyle();
}

bool CCodeEditor::setColorStyle(const QString& path)
{
    EditorStyle style;
    if (!style.load(path))
        return false;
    m_stylePath = path;
    applyStyle(style);
    return true;
}

void CCodeEditor::useDefaultColorStyle()
{
    m_stylePath.clear();
    applyStyle(EditorStyle());
}

void CCodeEditor::applyStyle(const EditorStyle& style)
{
    // Fallbacks are the light colours, so an empty style is still readable.
    const QColor paper = style.color(QStringLiteral("paper"), Qt::white);
    const QColor text = style.color(QStringLiteral("text"), QColor(0x1f, 0x24, 0x29));
    const QFont font = editorFont();
    m_lexer->setDefaultPaper(paper);
    m_lexer->setDefaultColor(text);
    m_lexer->setPaper(paper, -1);
    m_lexer->setColor(text, -1);
    m_lexer->setFont(font, -1);
    const QMap<int, EditorStyle::Item> items = style.items(QStringLiteral("lua"));
    for (auto it = items.cbegin(); it != items.cend(); ++it) {
        if (it->fore.isValid())
            m_lexer->setColor(it->fore, it.key());
        if (it->back.isValid())
            m_lexer->setPaper(it->back, it.key());
        QFont itemFont = font;
        itemFont.setBold(it->bold);
        itemFont.setItalic(it->italic);
        m_lexer->setFont(itemFont, it.key());
    }

    setCaretForegroundColor(style.color(QStringLiteral("caret"), text));
    setCaretLineBackgroundColor(style.color(QStringLiteral("caret-line"), QColor(0xee, 0xf3, 0xfb)));
    setSelectionBackgroundColor(style.color(QStringLiteral("selection-back"), QColor(0xc9, 0xdc, 0xf8)));
    setSelectionForegroundColor(style.color(QStringLiteral("selection-fore"), text));
    const QColor marginBack = style.color(QStringLiteral("margin-back"), QColor(0xf3, 0xf4, 0xf6));
    setMarginsBackgroundColor(marginBack);
    setMarginsForegroundColor(style.color(QStringLiteral("margin-fore"), QColor(0x8a, 0x90, 0x99)));
    const QColor foldMargin = style.color(QStringLiteral("fold-margin"), marginBack);
    setFoldMarginColors(foldMargin, foldMargin);
    const QColor foldMarker = style.color(QStringLiteral("fold-marker"), QColor(0x9a, 0xa0, 0xa6));
    for (int marker = int(SC_MARKNUM_FOLDEREND); marker <= int(SC_MARKNUM_FOLDEROPEN); ++marker) {
        setMarkerBackgroundColor(foldMarker, marker);
        setMarkerForegroundColor(foldMargin, marker);
    }
    setMatchedBraceBackgroundColor(style.color(QStringLiteral("brace-back"), QColor(0xd4, 0xf2, 0xd4)));
    setMatchedBraceForegroundColor(style.color(QStringLiteral("brace-fore"), QColor(0x0b, 0x6b, 0x0b)));
    setUnmatchedBraceForegroundColor(style.color(QStringLiteral("bad-brace-fore"), QColor(0xc5, 0x22, 0x1f)));
    setUnmatchedBraceBackgroundColor(paper);
    setIndicatorForegroundColor(style.color(QStringLiteral("occurrence"), QColor(0x1a, 0x73, 0xe8)),
                                kOccurrenceIndicator);
    setCallTipsBackgroundColor(style.color(QStringLiteral("calltip-back"), QColor(0xff, 0xfb, 0xe6)));
    setCallTipsForegroundColor(style.color(QStringLiteral("calltip-fore"), text));
    setCallTipsHighlightColor(style.color(QStringLiteral("calltip-highlight"), QColor(0xc5, 0x22, 0x1f)));
    const QColor errorMarker = style.color(QStringLiteral("error-marker"), QColor(0xd9, 0x30, 0x25));
    setMarkerBackgroundColor(errorMarker, kErrorMarker);
    setMarkerForegroundColor(errorMarker, kErrorMarker);
    m_errorStyle.setPaper(style.color(QStringLiteral("error-back"), QColor(0xfd, 0xec, 0xea)));
    m_errorStyle.setColor(style.color(QStringLiteral("error-fore"), QColor(0xa5, 0x0e, 0x0e)));
    m_errorStyle.setFont(font);
    m_placeholderColor = style.color(QStringLiteral("placeholder"), QColor(0x9a, 0xa0, 0xa6));
    if (m_errorLine > 0)
        showError();
    viewport()->update();
}

void CCodeEditor::updateLineNumberWidth()
{
    const int digits = qMax(3, int(QString::number(lines()).size()));
    if (digits == m_lineDigits)
        return;
    m_lineDigits = digits;
    setMarginWidth(0, QString(digits + 1, QLatin1Char('9')));
}

void CCodeEditor::setErrorLine(int line, const QString& message)
{
    clearErrors();
    if (line < 1 || line > lines())
        return;
    m_errorLine = line;
    m_errorMessage = message;
    showError();
}

void CCodeEditor::showError()
{
    markerDeleteAll(kErrorMarker);
    clearAnnotations();
    markerAdd(m_errorLine - 1, kErrorMarker);
    annotate(m_errorLine - 1, m_errorMessage, m_errorStyle);
}

void CCodeEditor::clearErrors()
{
    m_errorLine = 0;
    m_errorMessage.clear();
    markerDeleteAll(kErrorMarker);
    clearAnnotations();
}

void CCodeEditor::updateOccurrences()
{
    const long length = SendScintilla(SCI_GETLENGTH);
    QString word;
    if (!hasSelectedText() && length <= kOccurrenceMaxBytes) {
        int line = 0;
        int index = 0;
        getCursorPosition(&line, &index);
        word = wordAtLineIndex(line, index);
    }
    if (word == m_occurrenceWord && !word.isEmpty())
        return;
    m_occurrenceWord = word;
    SendScintilla(SCI_SETINDICATORCURRENT, kOccurrenceIndicator);
    SendScintilla(SCI_INDICATORCLEARRANGE, 0UL, length);
    if (word.isEmpty())
        return;
    const QByteArray needle = word.toUtf8();
    SendScintilla(SCI_SETSEARCHFLAGS, SCFIND_MATCHCASE | SCFIND_WHOLEWORD);
    long start = 0;
    for (int found = 0; found < 5000; ++found) {
        SendScintilla(SCI_SETTARGETSTART, static_cast<unsigned long>(start));
        SendScintilla(SCI_SETTARGETEND, static_cast<unsigned long>(length));
        const long at =
            SendScintilla(SCI_SEARCHINTARGET, static_cast<unsigned long>(needle.size()), needle.constData());
        if (at < 0)
            break;
        SendScintilla(SCI_INDICATORFILLRANGE, static_cast<unsigned long>(at), long(needle.size()));
        start = at + needle.size();
    }
}

void CCodeEditor::paintEvent(QPaintEvent* event)
{
    QsciScintilla::paintEvent(event);
    if (m_placeholder.isEmpty() || SendScintilla(SCI_GETLENGTH) > 0)
        return;
    QPainter painter(viewport());
    painter.setPen(m_placeholderColor);
    painter.setFont(editorFont());
    int left = 4;
    for (int margin = 0; margin < margins(); ++margin)
        left += marginWidth(margin);
    const QRect area = viewport()->rect().adjusted(left, 1, -4, -4);
    painter.drawText(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, m_placeholder);
}
