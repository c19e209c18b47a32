#!/usr/bin/env python3
"""Writes a problem N times larger than a given one, for memory measurements.

The result holds N copies of the school side by side on the same week grid:
every resource, activity and dependence appears N times, copy k with "_k"
after each id (and after every reference to one), so the copies share
nothing and the result is solvable whenever the original is. Classes,
teachers, rooms, special resources, groups, activities and dependences all
grow N times; days and slots per day stay.

--slots-per-day S widens every day to S slots instead, to measure what the
length of the grid costs: the listed slots keep their numbers, so they fall
on other days and hours, and the result need not be solvable.

    bench/make_big_problem.py [--copies N] [--slots-per-day S] PROBLEM.xml OUTPUT.xml
"""
import argparse
import copy
import sys
import xml.etree.ElementTree as ET

# Elements whose text names a resource or an activity.
REFERENCES = {"Resource", "FirstActivity", "SecondActivity"}


def renamed(element, suffix):
    """A deep copy of element with every id and every reference suffixed."""
    clone = copy.deepcopy(element)
    for node in clone.iter():
        if "id" in node.attrib:
            node.attrib["id"] += suffix
        if node.tag in REFERENCES and node.text and node.text.strip():
            node.text = node.text.strip() + suffix
    return clone


def scale(problem, copies):
    """Replaces every list of resources, the activities and the dependences
    by `copies` renamed copies of their entries."""
    lists = [kind for kind in problem.find("Resources")]
    for name in ("Activities", "Dependences"):
        found = problem.find(name)
        if found is not None:
            lists.append(found)
    for parent in lists:
        originals = list(parent)
        for child in originals:
            parent.remove(child)
        for k in range(copies):
            for child in originals:
                parent.append(renamed(child, "_%d" % k))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--copies", type=int, default=10)
    parser.add_argument("--slots-per-day", type=int)
    parser.add_argument("problem")
    parser.add_argument("output")
    arguments = parser.parse_args()

    root = ET.parse(arguments.problem).getroot()
    problem = root.find("Problem")
    if problem is None or problem.find("Resources") is None:
        sys.exit("%s: no Problem with Resources" % arguments.problem)
    scale(problem, arguments.copies)
    if arguments.slots_per_day:
        problem.find("General/SlotsPerDay").text = str(arguments.slots_per_day)
    ET.indent(root, "  ")
    with open(arguments.output, "w", encoding="utf-8") as out:
        out.write('<?xml version="1.0" encoding="UTF-8"?>\n')
        out.write(ET.tostring(root, encoding="unicode"))
        out.write("\n")


if __name__ == "__main__":
    main()
