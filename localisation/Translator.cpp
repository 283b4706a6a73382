#include "localisation/Translator.h"

#include "engine/Main.h"
#include "files/TextEncoding.h"
#include "xml/DomImplementation.h"
#include "xml/FileAccess.h"
#include "xml/XmlDocument.h"
#include "xml/XmlError.h"
#include "xml/XmlName.h"
#include "xml/XmlParser.h"

#include <cerrno>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace psykrona {

std::unique_ptr<TTranslator> TTranslator::FInstance;

namespace {

const char* const LanguageListName = "Languages.xml";
// Far above any real list or language file (a few kilobytes); a larger file
// is refused before it fills the memory.
constexpr std::size_t KMaxFileSize = std::size_t(16) << 20;

std::string Quoted(const std::string& S) {
    return "\"" + S + "\"";
}

std::string LowerAscii(std::string S) {
    for (char& C : S) {
        if (C >= 'A' && C <= 'Z') {
            C = static_cast<char>(C - 'A' + 'a');
        }
    }
    return S;
}

// Lookups in the language list that name the file when something is missing.
class TListReader {
public:
    explicit TListReader(std::string FileName) : FFileName(std::move(FileName)) {}

    TXmlElement& Child(const TXmlNode& Parent, const char* Name) const {
        TXmlElement* E = Parent.FindChildElement(Name);
        if (!E) {
            throw ETranslatorError("The language list " + Quoted(FFileName) + " lacks the element \"" + Name +
                                   "\" in \"" + Parent.NodeName() + "\"");
        }
        return *E;
    }
    // The value of the element's first child, the way the list holds a text.
    std::string Text(const TXmlElement& E) const {
        if (!E.FirstChild()) {
            throw ETranslatorError("The element \"" + E.NodeName() + "\" in the language list " +
                                   Quoted(FFileName) + " holds no text");
        }
        return E.FirstChild()->NodeValue();
    }
    std::string ChildText(const TXmlNode& Parent, const char* Name) const {
        return Text(Child(Parent, Name));
    }

private:
    std::string FFileName;
};

} // namespace

TTranslator::TTranslator(TDomImplementation& DomImpl, TXmlParser& Parser, std::string ProgramDir)
    : FDomImpl(&DomImpl), FXMLParser(&Parser), FProgramDir(std::move(ProgramDir)) {}

TTranslator::~TTranslator() = default;

void TTranslator::CreateInstance(TDomImplementation& DomImpl, TXmlParser& Parser) {
    CreateInstance(DomImpl, Parser, TMain::GetProgramDir());
}

void TTranslator::CreateInstance(TDomImplementation& DomImpl, TXmlParser& Parser,
                                 const std::string& ProgramDir) {
    if (!Parser.DomImpl()) {
        Parser.SetDomImpl(&DomImpl);
    }
    std::string Dir = ProgramDir;
    if (!Dir.empty() && Dir.back() != '/') {
        Dir += '/';
    }
    std::unique_ptr<TTranslator> Translator(new TTranslator(DomImpl, Parser, Dir));
    try {
        Translator->Load();
    } catch (...) {
        // Nobody can reach the half-built documents; give them back.
        if (Translator->FTranslations) {
            DomImpl.FreeDocument(*Translator->FTranslations);
        }
        if (Translator->FLanguagesDoc && Parser.DomImpl()) {
            Parser.DomImpl()->FreeDocument(*Translator->FLanguagesDoc);
        }
        throw;
    }
    FInstance = std::move(Translator);
}

TTranslator* TTranslator::Instance() {
    return FInstance.get();
}

void TTranslator::DestroyInstance() {
    FInstance.reset();
}

void TTranslator::Load() {
    FTranslations = &FDomImpl->CreateDocument("translations");
    TXmlElement& TranslationsRoot = *FTranslations->DocumentElement();

    const std::string ListName = FProgramDir + LanguageListName;
    try {
        FLanguagesDoc = &FXMLParser->ParseBytes(ReadFileBytes(ListName, KMaxFileSize), ListName);
    } catch (const EXmlError& E) {
        throw ETranslatorError(std::string("The language list cannot be read. ") + E.what());
    }
    const TListReader List(ListName);
    const TXmlElement& Root = *FLanguagesDoc->DocumentElement();
    const std::string DefaultCode = List.ChildText(List.Child(Root, "default"), "language");

    const TXmlElement& Languages = List.Child(Root, "languages");
    // The entries are the nodes from the first "language" element on; the
    // text between them (indentation) is no entry, and neither are comments.
    for (const TXmlNode* Entry = Languages.FindChildElement("language"); Entry;
         Entry = Entry->NextSibling()) {
        if (!Entry->IsElement()) {
            continue;
        }
        const std::string Code = List.ChildText(*Entry, "code");
        if (!IsXmlName(Code)) {
            throw ETranslatorError("The language code " + Quoted(Code) + " in the language list " +
                                   Quoted(ListName) + " is not a valid XML name");
        }
        TXmlElement& Language = TranslationsRoot.AppendChild(FTranslations->CreateElement(Code));
        // Only an entry with nothing at all before it (not even indentation)
        // is current by position; a match of the default code overrides it,
        // and among several matches the last one wins.
        if (Entry == Languages.FirstChild()) {
            FCurrentLanguage = &Language;
        }
        if (Code == DefaultCode) {
            FCurrentLanguage = &Language;
        }
        LoadLanguageFile(FProgramDir + List.ChildText(*Entry, "file"), Language);
    }
}

void TTranslator::LoadLanguageFile(const std::string& FileName, TXmlElement& Language) {
    std::string Bytes;
    try {
        Bytes = ReadFileBytes(FileName, KMaxFileSize);
    } catch (const EXmlFileError& E) {
        if (E.ErrorCode() == ENOENT || E.ErrorCode() == ENOTDIR) {
            return; // a language without texts
        }
        throw ETranslatorError(std::string("The language file cannot be read. ") + E.what());
    }
    LoadLanguageText(Bytes, FileName, *FTranslations, Language);
}

void TTranslator::LoadLanguageText(std::string_view Bytes, const std::string& FileName,
                                   TXmlDocument& Translations, TXmlElement& Language) {
    std::string_view Rest(Bytes);
    // An editor's byte-order mark would otherwise hide the first section.
    if (Rest.substr(0, 3) == "\xEF\xBB\xBF") {
        Rest.remove_prefix(3);
    }
    const auto Fail = [&](int LineNo, const std::string& Problem) {
        throw ETranslatorError("Line " + std::to_string(LineNo) + " of the language file " +
                               Quoted(FileName) + ": " + Problem);
    };

    // Older translations were saved in their language's 8-bit code page;
    // a line that is not UTF-8 is read in it.
    const TCodePage CodePage = CodePageOfLanguage(Language.NodeName());
    TXmlElement* Section = nullptr;
    std::unordered_map<std::string, std::string> FirstTexts; // by key in lower case
    int LineNo = 0;
    std::string Converted;
    while (!Rest.empty()) {
        // Lines end with CR LF, LF or CR.
        const std::size_t End = Rest.find_first_of("\r\n");
        std::string_view Line = Rest.substr(0, End);
        const bool EndsWithCr = End != std::string_view::npos && Rest[End] == '\r';
        Rest.remove_prefix(End == std::string_view::npos ? Rest.size() : End + 1);
        if (EndsWithCr && !Rest.empty() && Rest.front() == '\n') {
            Rest.remove_prefix(1);
        }
        ++LineNo;
        if (!IsValidUtf8(Line)) {
            Converted = EightBitToUtf8(Line, CodePage);
            Line = Converted;
        }

        if (Line.empty() || Line.front() == ';') {
            continue;
        }
        if (Line.size() >= 2 && Line.front() == '[' && Line.back() == ']') {
            const std::string Name(Line.substr(1, Line.size() - 2));
            if (!IsXmlName(Name)) {
                Fail(LineNo, "the section name " + Quoted(Name) + " is not a valid XML name");
            }
            Section = &Language.AppendChild(Translations.CreateElement(Name));
            FirstTexts.clear();
            continue;
        }
        if (!Section) {
            continue;
        }
        const std::size_t Equals = Line.find('=');
        if (Equals == std::string_view::npos) {
            Fail(LineNo, Quoted(std::string(Line)) + " is not a KEY=TEXT line");
        }
        const std::string Key(Line.substr(0, Equals));
        if (!IsXmlName(Key)) {
            Fail(LineNo, "the key " + Quoted(Key) + " is not a valid XML name");
        }
        // A repeated key, in whatever letter case, keeps the first text.
        const auto [It, New] = FirstTexts.try_emplace(LowerAscii(Key), Line.substr(Equals + 1));
        TXmlElement& KeyElement = Section->AppendChild(Translations.CreateElement(Key));
        KeyElement.AppendChild(Translations.CreateTextNode(It->second));
    }
}

std::string TTranslator::GetText(const std::string& Section, const std::string& Key) {
    try {
        if (!FInstance || !FInstance->FCurrentLanguage) {
            return Key;
        }
        const TXmlElement* SectionElement = FInstance->FCurrentLanguage->FindChildElement(Section);
        const TXmlElement* KeyElement = SectionElement ? SectionElement->FindChildElement(Key) : nullptr;
        if (!KeyElement || !KeyElement->FirstChild()) {
            return Key;
        }
        return KeyElement->FirstChild()->NodeValue();
    } catch (...) {
        return Key;
    }
}

std::vector<std::string> TTranslator::GetLanguages(int& Index) {
    if (!FInstance) {
        return {};
    }
    return FInstance->Languages(Index);
}

std::vector<std::string> TTranslator::Languages(int& Index) const {
    std::vector<std::string> Names;
    try {
        const TListReader List(FProgramDir + LanguageListName);
        const TXmlElement& Entries = List.Child(*FLanguagesDoc->DocumentElement(), "languages");
        int Count = 0;
        for (const TXmlNode* Entry = Entries.FirstChild(); Entry; Entry = Entry->NextSibling()) {
            if (!Entry->IsElement()) {
                continue;
            }
            Names.push_back(List.ChildText(*Entry, "name"));
            if (FCurrentLanguage && List.ChildText(*Entry, "code") == FCurrentLanguage->NodeName()) {
                Index = Count;
            }
            ++Count;
        }
    } catch (...) {
        return {};
    }
    return Names;
}

void TTranslator::SetLanguage(int Index) {
    try {
        if (FInstance) {
            FInstance->ChooseLanguage(Index);
        }
    } catch (...) {
        // The choice holds for this run even when it cannot be remembered.
    }
}

void TTranslator::ChooseLanguage(int Index) {
    // The languages are reached through the current one: without it there
    // is nothing to choose from and nothing to remember.
    if (!FCurrentLanguage) {
        return;
    }
    int Count = 0;
    for (TXmlNode* N = FCurrentLanguage->ParentNode()->FirstChild(); N; N = N->NextSibling()) {
        if (!N->IsElement()) {
            continue;
        }
        if (Count == Index) {
            FCurrentLanguage = static_cast<TXmlElement*>(N);
            break;
        }
        ++Count;
    }

    const TListReader List(FProgramDir + LanguageListName);
    TXmlElement& Default = List.Child(List.Child(*FLanguagesDoc->DocumentElement(), "default"), "language");
    Default.RemoveAllChildren();
    Default.AppendChild(FLanguagesDoc->CreateTextNode(FCurrentLanguage->NodeName()));
    FLanguagesDoc->WriteToFile(FProgramDir + LanguageListName);
}

std::string TTranslator::GetLanguageCode() {
    return FInstance && FInstance->FCurrentLanguage ? FInstance->FCurrentLanguage->NodeName() : std::string();
}

} // namespace psykrona
