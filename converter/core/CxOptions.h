// The converter's option groups: the document head, the default font and the document structure read
// beyond paragraphs. Each group belongs to one converter, which creates and destroys it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corvane {

using TStringList = std::vector<std::string>;

// Stores Value into Field unless it is already there; setters compare before they store.
template <typename T> void AssignIfChanged(T& Field, const T& Value) {
    if (!(Field == Value)) Field = Value;
}

class TCxOptionsHead {
public:
    bool AddOuterHTML() const { return FAddOuterHTML; }
    void SetAddOuterHTML(bool Value) { AssignIfChanged(FAddOuterHTML, Value); }
    const std::string& DocumentTitle() const { return FDocumentTitle; }
    void SetDocumentTitle(const std::string& Value) { AssignIfChanged(FDocumentTitle, Value); }
    const TStringList& HeadTags() const { return FHeadTags; }
    void SetHeadTags(const TStringList& Value) { AssignIfChanged(FHeadTags, Value); }
    const std::string& MetaAuthor() const { return FMetaAuthor; }
    void SetMetaAuthor(const std::string& Value) { AssignIfChanged(FMetaAuthor, Value); }
    const std::string& MetaContentType() const { return FMetaContentType; }
    void SetMetaContentType(const std::string& Value) { AssignIfChanged(FMetaContentType, Value); }
    const std::string& MetaDescription() const { return FMetaDescription; }
    void SetMetaDescription(const std::string& Value) { AssignIfChanged(FMetaDescription, Value); }
    const std::string& MetaKeywords() const { return FMetaKeywords; }
    void SetMetaKeywords(const std::string& Value) { AssignIfChanged(FMetaKeywords, Value); }
    const TStringList& MetaTags() const { return FMetaTags; }
    void SetMetaTags(const TStringList& Value) { AssignIfChanged(FMetaTags, Value); }
    const std::string& MetaViewport() const { return FMetaViewport; }
    void SetMetaViewport(const std::string& Value) { AssignIfChanged(FMetaViewport, Value); }
    const TStringList& StyleSheetInclude() const { return FStyleSheetInclude; }
    void SetStyleSheetInclude(const TStringList& Value) { AssignIfChanged(FStyleSheetInclude, Value); }
    const std::string& StyleSheetLink() const { return FStyleSheetLink; }
    void SetStyleSheetLink(const std::string& Value) { AssignIfChanged(FStyleSheetLink, Value); }

private:
    bool FAddOuterHTML = true;
    std::string FDocumentTitle = "Untitled document";
    TStringList FHeadTags;
    std::string FMetaAuthor;
    std::string FMetaContentType = "text/html; charset=UTF-8";
    std::string FMetaDescription;
    std::string FMetaKeywords;
    TStringList FMetaTags;
    std::string FMetaViewport;
    TStringList FStyleSheetInclude;
    std::string FStyleSheetLink;
};

class TCxOptionsOptimize {
public:
    const std::string& DefaultFontColor() const { return FDefaultFontColor; }
    void SetDefaultFontColor(const std::string& Value) { AssignIfChanged(FDefaultFontColor, Value); }
    const std::string& DefaultFontName() const { return FDefaultFontName; }
    void SetDefaultFontName(const std::string& Value) { AssignIfChanged(FDefaultFontName, Value); }
    std::int32_t DefaultFontSize() const { return FDefaultFontSize; }
    void SetDefaultFontSize(std::int32_t Value) { AssignIfChanged(FDefaultFontSize, Value); }
    bool IncludeDefaultFontStyle() const { return FIncludeDefaultFontStyle; }
    void SetIncludeDefaultFontStyle(bool Value) { AssignIfChanged(FIncludeDefaultFontStyle, Value); }

private:
    std::string FDefaultFontColor = "#000000";
    std::string FDefaultFontName = "Times,serif";
    std::int32_t FDefaultFontSize = 12;
    bool FIncludeDefaultFontStyle = false;
};

// Structures of the document that are written as structures of their own; each is off by default, and
// the output without them stays as it always was.
class TCxOptionsStructure {
public:
    bool Tables() const { return FTables; }
    void SetTables(bool Value) { AssignIfChanged(FTables, Value); }
    bool Lists() const { return FLists; }
    void SetLists(bool Value) { AssignIfChanged(FLists, Value); }
    bool Notes() const { return FNotes; }
    void SetNotes(bool Value) { AssignIfChanged(FNotes, Value); }
    bool HeadersFooters() const { return FHeadersFooters; }
    void SetHeadersFooters(bool Value) { AssignIfChanged(FHeadersFooters, Value); }

private:
    bool FTables = false;
    bool FLists = false;
    bool FNotes = false;
    bool FHeadersFooters = false;
};

} // namespace corvane
