// The language-file reader. For any bytes it either fills the language's
// element or throws ETranslatorError; every key holds exactly one text node,
// and what it builds writes as XML that reads back unchanged.
#include "fuzz/FuzzSupport.h"
#include "localisation/Translator.h"
#include "xml/XmlDocument.h"
#include "xml/XmlError.h"
#include "xml/XmlParser.h"

#include <memory>

using namespace psykrona;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    TXmlDocument Translations("translations");
    TXmlElement& Language = Translations.DocumentElement()->AppendChild(Translations.CreateElement("en"));
    try {
        TTranslator::LoadLanguageText(fuzz::AsBytes(Data, Size), "fuzz.lng", Translations, Language);
    } catch (const ETranslatorError&) {
        return 0;
    }
    bool Colons = false;
    for (const TXmlNode* Section = Language.FirstChild(); Section; Section = Section->NextSibling()) {
        Colons = Colons || Section->NodeName().find(':') != std::string::npos;
        for (const TXmlNode* Key = Section->FirstChild(); Key; Key = Key->NextSibling()) {
            Colons = Colons || Key->NodeName().find(':') != std::string::npos;
            const TXmlNode* Text = Key->FirstChild();
            if (!Text || Text->NodeType() != TXmlNodeType::Text || Text->NextSibling()) {
                fuzz::Violated("the key " + Key->NodeName() + " does not hold exactly one text");
            }
        }
    }
    const std::string Written = Translations.WriteToString();
    std::unique_ptr<TXmlDocument> Back;
    try {
        Back = TXmlParser::Parse(Written, "translations.xml");
    } catch (const EXmlError& E) {
        // Sections and keys are XML names, and "a:b:c" is one; the parser,
        // aware of namespaces, refuses it as an element name. The texts
        // never leave the memory, so only names without colons must read
        // back.
        if (Colons) {
            return 0;
        }
        fuzz::Violated(std::string("the texts do not write as XML: ") + E.what(), Written);
    }
    if (fuzz::LineEndsAsLf(Back->WriteToString()) != fuzz::LineEndsAsLf(Written)) {
        fuzz::Violated("the written texts read back differently", Written);
    }
    return 0;
}
