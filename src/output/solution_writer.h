#pragma once
#include <cstdio>

#include "problem/problem_data.h"
#include "problem/solution_record.h"
#include "xml/xml_tree.h"

// Builds the solution document of the record in document (an empty root
// list), writes it to the stream in the fixed layout and leaves the tree for
// the caller to read back.
void writeSolution(const ProblemData& problem, const SolutionRecord& record, FILE* stream,
                   XML::Elements& document);

// Writes the header line and the document: one element per line, two blanks
// of indentation per level, a text on the line of its element, nothing escaped.
void writeDocument(FILE* stream, const XML::Elements& document);

// Appends a Resource element holding the id of the resource to the list.
void appendResource(const ProblemData& problem, XML::Elements& list, int resource);
