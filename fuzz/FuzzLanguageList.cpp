// Loading "Languages.xml": the fuzz input is the list, in a folder of its own
// beside two small language files. For any list, creating the translator
// either succeeds or throws ETranslatorError, and the lookups never fail; a
// list that loaded and was rewritten by a language switch loads again with
// the chosen language current.
#include "fuzz/FuzzSupport.h"
#include "localisation/Translator.h"
#include "xml/DomImplementation.h"
#include "xml/XmlParser.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

using namespace psykrona;

namespace {

std::string GDir;

void WriteFile(const std::string& Name, std::string_view Bytes) {
    std::ofstream Out(GDir + Name, std::ios::binary | std::ios::trunc);
    Out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
    if (!Out) {
        fuzz::Violated("cannot write the fuzz folder's " + Name);
    }
}

void RemoveFolder() {
    std::error_code Ignored;
    std::filesystem::remove_all(GDir, Ignored);
}

bool Load(TDomImplementation& Dom, TXmlParser& Parser, std::string* Error) {
    try {
        TTranslator::CreateInstance(Dom, Parser, GDir);
        return true;
    } catch (const ETranslatorError& E) {
        *Error = E.what();
        return false;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Memory-backed when there is such a folder: every input is written and
    // a switch rewrites it, flushed to the disk each time.
    const char* Base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string Pattern = std::string(Base) + "/psykrona-fuzz-XXXXXX";
    if (!mkdtemp(Pattern.data())) {
        fuzz::Violated("cannot create the fuzz folder");
    }
    GDir = Pattern + "/";
    std::atexit(RemoveFolder);
    WriteFile("English.lng",
              "[MESSAGES]\nMSG_FILE_NOT_SAVED=The file was not saved\n[CHART]\nTXT_ENTHALPY=Enthalpy\n");
    WriteFile("Swedish.lng", "[MESSAGES]\r\nMSG_FILE_NOT_SAVED=Filen sparades inte\r\n");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string_view List = fuzz::AsBytes(Data, Size);
    WriteFile("Languages.xml", List);
    std::string Chosen;
    {
        TDomImplementation Dom;
        TXmlParser Parser(Dom);
        std::string Error;
        if (!Load(Dom, Parser, &Error)) {
            return 0;
        }
        int Index = 0;
        const std::vector<std::string> Names = TTranslator::GetLanguages(Index);
        if (!Names.empty() && (Index < 0 || Index >= static_cast<int>(Names.size()))) {
            fuzz::Violated("the current language's index " + std::to_string(Index) + " is outside the list");
        }
        (void)TTranslator::GetText("MESSAGES", "MSG_FILE_NOT_SAVED");
        TTranslator::SetLanguage(static_cast<int>(Size % 3));
        Chosen = TTranslator::GetLanguageCode();
        TTranslator::DestroyInstance();
    }
    if (Chosen.empty()) {
        return 0; // no current language: nothing was rewritten
    }
    TDomImplementation Dom;
    TXmlParser Parser(Dom);
    std::string Error;
    if (!Load(Dom, Parser, &Error)) {
        // A list may name itself as a language file; rewritten, it is
        // another language file.
        if (Error.find("Languages.xml\":") != std::string::npos) {
            return 0;
        }
        fuzz::Violated("a rewritten language list does not load: " + Error, List);
    }
    if (TTranslator::GetLanguageCode() != Chosen) {
        fuzz::Violated(
            "the rewritten list makes " + TTranslator::GetLanguageCode() + " current, not " + Chosen, List);
    }
    TTranslator::DestroyInstance();
    return 0;
}
