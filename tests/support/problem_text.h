#pragma once
#include <string>
#include <vector>

// Problems written as XML text in the tests. Each part ends its line as a
// file would, so that a framed error names the same line whichever test
// builds the document.
namespace problem_text {

// A whole problem of days x slotsPerDay; every resource stands under Teachers.
std::string problemText(int days, int slotsPerDay, const std::string& resources,
                        const std::string& activities, const std::string& dependences = "");

// The same with the whole content of Resources given (Classrooms, Teachers,
// Classes, Special), for tests that tell the kinds apart.
std::string problemWithKinds(int days, int slotsPerDay, const std::string& resourceKinds,
                             const std::string& activities, const std::string& dependences = "",
                             const std::string& activityRules = "");

// <Resource id="..."> with rule elements inside (e.g. "<Break>1</Break>").
std::string resource(const std::string& id, const std::string& inner = "");

// An activity needing the resources `required` and one member of each group;
// inner goes inside the Activity element (week(), time preferences).
std::string activity(const std::string& id, int length, const std::vector<std::string>& required,
                     const std::vector<std::vector<std::string>>& groups = {},
                     const std::string& inner = "");

// The same with the content of RequiredResources written out, for documents
// the first form cannot express (a group before a resource, an empty group).
std::string activityText(const std::string& id, int length, const std::string& required,
                         const std::string& inner = "");

// Parts of activityText's required text and of inner.
std::string res(const std::string& id);                      // <Resource>id</Resource>
std::string group(const std::string& members);               // <Group>members</Group>
std::string week(const std::string& letter);                 // <Week>; "" gives nothing
std::string softAt(int score, const std::string& slots);     // TimePreferences with one Soft
std::string hardAt(const std::string& slots);                // TimePreferences with one Hard

// An activity rule (element DifferentDays, SameDay, ...) listing the
// activities; attributes are written as given (e.g. "days=\"2\"").
std::string activityRule(const std::string& element, const std::vector<std::string>& activities,
                         const std::string& attributes = "");

// A dependence; a negative score makes it hard.
std::string dependence(const std::string& first, const std::string& second, const std::string& op,
                       int score = -1);

}  // namespace problem_text
