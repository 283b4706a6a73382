#pragma once

#include "engine/Main.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace psykrona {

class TDomImplementation;
class TXmlParser;

// A project file that cannot be read or written. The message names the file
// and, where known, the element or line.
class EProjectFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Stores the project document in an XML project file (".pkx") and reads it
// back; also reads the older line-based files (".pkr"), which are never
// written.
//
// The file is written in one pass, straight from the document, in exactly
// the bytes the document model's writer gives the same tree, and read with a
// streaming parser, so projects of a million points open and save without a
// tree of twenty million nodes in memory.
class TMollierFileHandling {
public:
    // The fixed texts of the "data" element; the print dialog's project
    // name, date and signature are not stored.
    static constexpr const char* SampleProjectName = "Projekt 1";
    static constexpr const char* SampleDate = "011105";
    static constexpr const char* SampleSignature = "A. Engineer";
    static constexpr const char* CompatibleVersion = "2.0";
    // The largest project file: the reader refuses a larger file before
    // reading anything, and the writer a larger project before touching the
    // old file, so every saved project opens again.
    static constexpr std::size_t MaxFileSize = std::size_t(512) << 20;

    TMollierFileHandling(TDomImplementation& DomImpl, TXmlParser& Parser);

    TMain* FProject = nullptr;
    std::string FFileName;
    // The window's document factory and parser, bound together here. The
    // project files need no document tree (they are read by the streaming
    // reader and written in one pass), so neither is used for them.
    TDomImplementation* FDomImpl;
    TXmlParser* FXMLParser;

    // Saves to FileName, which becomes FFileName once the file is written;
    // when the save fails FFileName keeps the old name.
    void SaveProjectAs(const std::string& FileName);
    // Writes FProject to FFileName, replacing the file only once the new one
    // is complete. A project the reader would refuse (a number the file
    // cannot hold, or more than MaxFileSize bytes) fails before the file is
    // touched.
    void SaveProject();
    // Reads an XML project file into FProject; FFileName stays as it is.
    void OpenProject(const std::string& FileName);
    // Sets FFileName, then reads an older ".pkr" file into FProject.
    void OpenOldProject(const std::string& FileName);
    // Whether FFileName names an older ".pkr" file, which a plain save must
    // not overwrite with XML.
    bool IsOldFormat() const;

    // The bytes of a project file for Doc. Throws EProjectFileError, naming
    // the element, for a number the reader would refuse (not finite, or
    // beyond the largest double once written to 15 digits).
    static std::string ProjectToXml(const TMain& Doc);
    // Reads the bytes of a file into Doc: its flow data, and its points
    // appended in file order. A file that is not well-formed or lacks a part
    // of the header fails with no point of it left in Doc; a point that does
    // not convert fails once the header and the points before it are in.
    // SourceName names the file in messages.
    static void ProjectFromXml(std::string_view Bytes, TMain& Doc, const std::string& SourceName);
    static void ProjectFromOldFormat(std::string_view Bytes, TMain& Doc, const std::string& SourceName);
};

} // namespace psykrona
