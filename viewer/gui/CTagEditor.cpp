#include "viewer/gui/CTagEditor.h"

#include "control/GenreNames.h"
#include "platform/CodePage.h"
#include "platform/MessageBox.h"
#include "platform/ProgramPath.h"
#include "viewer/ViewerSettings.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <optional>

namespace viewer {
namespace {

constexpr int LabelX = 2;
constexpr int LabelWidth = 40;
constexpr int RowHeight = 12;
// Height of the Genre box with its list dropped down.
constexpr int GenreDroppedHeight = 85;

std::optional<QStringList> DecodeGenreNames(uint32_t codePage) {
    QStringList names;
    try {
        for (size_t index = 0; index < control::GenreNameCount; ++index)
            names.append(QString::fromStdU16String(
                platform::DecodeCodePage(control::GenreName(index), codePage)));
    } catch (const platform::ConversionError&) {
        return std::nullopt;
    }
    return names;
}

// Every name but the last is plain ASCII text.
bool ReadsPlainNames(const QStringList& names) {
    for (size_t index = 0; index + 1 < control::GenreNameCount; ++index) {
        std::string_view name = control::GenreName(index);
        if (names[static_cast<qsizetype>(index)] !=
            QLatin1StringView(name.data(), static_cast<qsizetype>(name.size())))
            return false;
    }
    return true;
}

// The genre names as the code page reads them; the last one is code page 1251 text. A code
// page that cannot convert them, or that does not read the plain names as themselves (EBCDIC,
// UTF-16), would offer only garbage, and choosing it would write garbage into the tag: the
// system's ANSI code page reads the names then.
QStringList GenreNames(uint32_t codePage) {
    for (uint32_t candidate : {codePage, platform::CP_ACP}) {
        std::optional<QStringList> names = DecodeGenreNames(candidate);
        if (names && ReadsPlainNames(*names))
            return *names;
    }
    QStringList names;
    for (size_t index = 0; index < control::GenreNameCount; ++index)
        names.append(QString::fromLatin1(control::GenreName(index)));
    return names;
}

// As a sorted list box sorts: letter case aside.
void SortNames(QStringList& names) {
    std::stable_sort(names.begin(), names.end(), [](const QString& left, const QString& right) {
        return QString::compare(left, right, Qt::CaseInsensitive) < 0;
    });
}

// The limit stops typing, not text put in by the dialog: a longer text is shown whole, can be
// shortened, and is refused at "Done".
void LimitText(QLineEdit* edit) {
    edit->setMaxLength(CTagEditor::TextLimit);
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit](const QString& text) {
        edit->setMaxLength(std::max<int>(CTagEditor::TextLimit, static_cast<int>(text.size())));
    });
}

void PutText(QLineEdit* edit, const QString& text) {
    edit->setMaxLength(std::max<int>(CTagEditor::TextLimit, static_cast<int>(text.size())));
    edit->setText(text);
}

} // namespace

CTagEditor::CTagEditor(QWidget* parent)
    : CMyDialog(QStringLiteral("Tahoma"), parent,
                Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                    Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("132"));
    setWindowTitle(QStringLiteral("Audio File Tags (ID3v2)"));
    setFixedSize(Units().X(207), Units().Y(115));
    BuildControls();
}

void CTagEditor::BuildControls() {
    AddLabel("Title :", LabelX, 7, LabelWidth);
    AddEdit(TitleId, 44, 7, 156, &CTagEditor::Title);
    AddLabel("Artist :", LabelX, 22, LabelWidth);
    AddEdit(ArtistId, 44, 22, 156, &CTagEditor::Artist);
    AddLabel("Album :", LabelX, 37, LabelWidth);
    AddEdit(AlbumId, 44, 37, 156, &CTagEditor::Album);
    AddLabel("Comment :", LabelX, 52, LabelWidth);
    AddEdit(CommentId, 44, 52, 156, &CTagEditor::Comment);
    AddLabel("Year :", LabelX, 68, LabelWidth);
    AddEdit(YearId, 44, 68, 52, &CTagEditor::Year);
    AddLabel("Track :", 98, 68, 25);
    AddEdit(TrackId, 125, 68, 41, &CTagEditor::TrackNum);
    AddLabel("Genre :", LabelX, 83, LabelWidth);
    AddGenreBox();

    useUnicode_ = new QCheckBox(QStringLiteral("Use Unicode"), this);
    useUnicode_->setObjectName(QString::number(UseUnicodeId));
    useUnicode_->setGeometry(Units().Rect(70, 100, 55, 10));

    auto* done = new QPushButton(QStringLiteral("Done"), this);
    done->setObjectName(QString::number(DoneId));
    done->setDefault(true);
    done->setGeometry(Units().Rect(172, 68, 28, 42));
    connect(done, &QPushButton::clicked, this, &CTagEditor::accept);
}

void CTagEditor::AddLabel(const char* text, int x, int y, int width) {
    auto* label = new QLabel(QString::fromLatin1(text), this);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setGeometry(Units().Rect(x, y, width, RowHeight));
}

void CTagEditor::AddEdit(int id, int x, int y, int width, std::u16string CTagEditor::*member) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::number(id));
    edit->setGeometry(Units().Rect(x, y, width, RowHeight));
    LimitText(edit);
    fields_.push_back({member, edit});
}

void CTagEditor::AddGenreBox() {
    genre_ = new QComboBox(this);
    genre_->setObjectName(QString::number(GenreId));
    genre_->setEditable(true);
    // Typed text stays as typed: no completion, and it joins no list.
    genre_->setCompleter(nullptr);
    genre_->setInsertPolicy(QComboBox::NoInsert);
    genre_->setGeometry(Units().X(44), Units().Y(83), Units().X(123),
                        std::max(Units().Y(RowHeight), genre_->sizeHint().height()));
    LimitText(genre_->lineEdit());
    fields_.push_back({&CTagEditor::Genre, genre_->lineEdit()});
}

// The controls are filled when the dialog opens, from what the caller has set.
void CTagEditor::showEvent(QShowEvent* event) {
    if (!initialised_)
        InitDialog();
    initialised_ = true;
    CMyDialog::showEvent(event);
}

void CTagEditor::InitDialog() {
    const auto codePage = static_cast<uint32_t>(ViewerSettings::ReadIntSetting(u"TagsCodepage", 0));
    QStringList names = GenreNames(codePage);
    SortNames(names);
    genre_->addItems(names);
    // The dropped-down list takes the template's height below the closed box.
    const int rowHeight = std::max(1, genre_->view()->sizeHintForRow(0));
    genre_->setMaxVisibleItems(
        std::max(1, (Units().Y(GenreDroppedHeight) - genre_->height()) / rowHeight));
    UseUnicode = ViewerSettings::ReadIntSetting(u"UseUnicodeForTags", 0) == 1;
    ToControls();
}

void CTagEditor::ToControls() {
    for (const Field& field : fields_)
        if (field.member != &CTagEditor::Genre)
            PutText(field.edit, QString::fromStdU16String(this->*field.member));
    // Only the very same text selects a list entry: a genre that merely begins like one, or
    // differs in letter case, stays as the tag has it.
    const QString genre = QString::fromStdU16String(Genre);
    const int entry =
        genre.isEmpty() ? -1 : genre_->findText(genre, Qt::MatchExactly | Qt::MatchCaseSensitive);
    genre_->setCurrentIndex(entry);
    if (entry < 0)
        PutText(genre_->lineEdit(), genre);
    useUnicode_->setChecked(UseUnicode);
}

// False, with a message and the focus on the field, when a field holds more than the limit.
bool CTagEditor::FromControls() {
    for (const Field& field : fields_) {
        if (field.edit->text().size() > TextLimit) {
            platform::ShowMessage(u"Enter no more than " +
                                      QString::number(TextLimit).toStdU16String() + u" characters.",
                                  platform::Utf8ToUtf16(platform::ApplicationName()),
                                  platform::MB_OK | platform::MB_ICONEXCLAMATION);
            field.edit->setFocus();
            field.edit->selectAll();
            return false;
        }
    }
    for (const Field& field : fields_)
        this->*field.member = field.edit->text().toStdU16String();
    UseUnicode = useUnicode_->isChecked();
    return true;
}

void CTagEditor::accept() {
    if (!FromControls())
        return;
    ViewerSettings::WriteIntSetting(u"UseUnicodeForTags", UseUnicode ? 1 : 0);
    CMyDialog::accept();
}

} // namespace viewer
