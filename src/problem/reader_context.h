#pragma once
#include <string>
#include <vector>

#include "problem/problem_data.h"
#include "xml/declarations.h"

// Where the handlers of a document being read put their values. The element
// handlers of an owner (a resource, an activity, a dependence, a solution
// entry) point these at the owner's fields before its attributes and children
// are read; the attribute and text handlers below them just follow the pointers.
struct ReaderContext {
    std::string* idTarget = nullptr;            // the id attribute
    TimePrefs* prefs = nullptr;                 // TimePreferences and its children
    Resource* resource = nullptr;               // Break, MaxDays, Continuous, Balanced
    Activity* activity = nullptr;               // Length, Week, Group
    Dependence* dependence = nullptr;           // FirstActivity, SecondActivity, Operator
    int* scoreTarget = nullptr;                 // the score attribute
    int* startTarget = nullptr;                 // StartTime of a solution entry
    std::vector<std::string>* nameList = nullptr;  // Resource children holding a name
    int conjunctive = 0;                        // the conjunctive attribute of a Group
    long long listedSlots = 0;                  // slots listed by Hard, Avail and Soft so far
};

// Sets problem.reader for the time a document is read, and clears it again
// however the reading ends.
class ReaderScope {
public:
    explicit ReaderScope(ProblemData& problem) : problem(problem) { problem.reader = &context; }
    ~ReaderScope() { problem.reader = nullptr; }
    ReaderScope(const ReaderScope&) = delete;
    ReaderScope& operator=(const ReaderScope&) = delete;

    ReaderContext context;

private:
    ProblemData& problem;
};

using Attributes = std::vector<XML::Attribute>;

// Binds a member handler of a reader object to a row of a declaration table.
template <class Reader>
XML::ElementHandler elementHandler(Reader* reader,
                                   void (Reader::*method)(XML::Content*, const Attributes&, int)) {
    return [reader, method](XML::Content* content, const Attributes& attributes, int line) {
        (reader->*method)(content, attributes, line);
    };
}

template <class Reader>
XML::AttributeHandler attributeHandler(Reader* reader,
                                       void (Reader::*method)(const XML::Attribute&)) {
    return [reader, method](const XML::Attribute& attribute) { (reader->*method)(attribute); };
}
