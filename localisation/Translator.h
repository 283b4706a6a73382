#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace psykrona {

class TDomImplementation;
class TXmlDocument;
class TXmlElement;
class TXmlParser;

// Creating the translator failed: "Languages.xml" or a language file is
// missing, not well-formed, or lacks what it must hold. The message names the
// file and the problem.
class ETranslatorError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The program's single translator. It holds the texts of every installed
// language, listed in "Languages.xml" in the program directory, each read
// from its INI-style language file once at creation; knows the current
// language; and remembers the user's choice in "Languages.xml".
//
// Texts and codes are UTF-8 strings. A language file line that is UTF-8
// comes back from GetText unchanged; any other line is read in the 8-bit code
// page of its language (Windows-1250 for Hungarian, Windows-1252 otherwise).
class TTranslator {
public:
    // Creates the single translator, replacing any earlier one, and loads
    // the language list and all language files from the program directory
    // (TMain::GetProgramDir(), or ProgramDir when given). The documents it
    // builds belong to DomImpl, which must outlive the translator; Parser is
    // bound to DomImpl if it has no factory yet. Throws ETranslatorError.
    static void CreateInstance(TDomImplementation& DomImpl, TXmlParser& Parser);
    static void CreateInstance(TDomImplementation& DomImpl, TXmlParser& Parser,
                               const std::string& ProgramDir);
    // The single translator, or nullptr before CreateInstance.
    static TTranslator* Instance();
    // Ends the single translator; its documents stay with their factory.
    static void DestroyInstance();

    // The text of Key in Section in the current language, or Key itself when
    // there is no translator, no current language or no such text. Never
    // fails.
    static std::string GetText(const std::string& Section, const std::string& Key);
    // The display names of the installed languages in list order. Index is
    // set to the position of the current language; callers set it to 0
    // first. An empty list when the list cannot be read.
    static std::vector<std::string> GetLanguages(int& Index);
    // Makes the language at Index (0-based) current, if there is one, and
    // records the current language as the default in "Languages.xml". Never
    // fails: a file that cannot be written leaves the choice for this run.
    static void SetLanguage(int Index);
    // The current language's code, or "" when no language is current.
    static std::string GetLanguageCode();

    // Reads the bytes of one language file into Language, an element of
    // Translations: an element per section, in it an element per key holding
    // the key's text. FileName names the file in messages. Throws
    // ETranslatorError.
    static void LoadLanguageText(std::string_view Bytes, const std::string& FileName,
                                 TXmlDocument& Translations, TXmlElement& Language);

    ~TTranslator();
    TTranslator(const TTranslator&) = delete;
    TTranslator& operator=(const TTranslator&) = delete;

private:
    TTranslator(TDomImplementation& DomImpl, TXmlParser& Parser, std::string ProgramDir);
    void Load();
    void LoadLanguageFile(const std::string& FileName, TXmlElement& Language);
    std::vector<std::string> Languages(int& Index) const;
    void ChooseLanguage(int Index);

    TXmlDocument* FTranslations = nullptr;
    TXmlDocument* FLanguagesDoc = nullptr;
    TDomImplementation* FDomImpl;
    TXmlParser* FXMLParser;
    TXmlElement* FCurrentLanguage = nullptr;
    std::string FProgramDir;

    static std::unique_ptr<TTranslator> FInstance;
};

} // namespace psykrona
