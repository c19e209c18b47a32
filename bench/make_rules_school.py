#!/usr/bin/env python3
"""Writes a school timetabling problem that uses every school rule and is
known to be solvable: a planted timetable keeps every rule and scores 0.

The school looks like a real one: grades of parallel classes with a
curriculum, teachers of subject families (some part-time, some with a
Break, some with hours off), home rooms by floor and special rooms in
groups, projectors and a laptop cart, teaching assistants, double lessons,
back-to-back single lessons, joint PE lessons of two classes, even/odd-week
pairs (art in even weeks, music in odd weeks at the same slot), lessons with
time preferences of their own and dependences.

The timetable is drawn first, slot by slot: at each period every class that
is still in school takes one of its remaining lessons whose teacher and
room are free. Lessons that find no place are left out of the problem, so
the problem asks for exactly the lessons of the drawn timetable. Teachers
then get more unavailable slots among the ones they are free in, and the
school rules are read off the drawn timetable: each limit is set at what
the timetable has, or a little looser, so the drawn timetable keeps it.

  make_rules_school.py SEED [--lessons N] [--classes C] [--days D]
      [--slots S] [--blocked B] [--soft SHARE] [--slack SHARE]
      [--rules DENSITY] [--no-rules] [--solution FILE] [-o FILE]
"""
import argparse
import math
import random
import sys

WEEKS = {"A": (0, 1), "E": (0,), "O": (1,)}

SURNAMES = """Sousa Smit Matos Jones Cruz Wolf Hribar Thompson White Albrecht Quinn Romano
Heikkinen Novak Dahl Lund Berg Costa Moreau Fischer Weber Meyer Schulz Keller Horvat
Kovac Nagy Toth Szabo Varga Kowalski Nowak Lewandowski Dvorak Svoboda Novotny Moretti
Ricci Marino Greco Bruno Gallo Conti Rossi Ferrari Esposito Bianchi Colombo Garcia
Martinez Lopez Sanchez Perez Gomez Martin Ruiz Hernandez Diaz Moreno Alvarez Romero
Navarro Torres Dominguez Vazquez Ramos Gil Serrano Blanco Molina Ortiz Delgado Castro
Ortega Rubio Marin Sanz Nunez Iglesias Medina Garrido Santos Castillo Cortes Lozano
Guerrero Cano Prieto Mendez Calvo Gallego Vidal Leon Herrera Marquez Pena Flores Cabrera
Campos Vega Fuentes Carrasco Diez Caballero Reyes Nieto Aguilar Pascual Santana Herrero
Lorenzo Montero Hidalgo Gimenez Ibanez Ferrer Duran Vicente Benitez Mora Arias Vargas
Carmona Crespo Roman Pastor Soto Saez Velasco Moya Soler Parra Esteban Bravo Gallardo
Rojas Pardo Merino Franco Espinosa Izquierdo Lara Rivas Silva Rivera Casado Arroyo Redondo
Camacho Rey Vera Otero Luque Galan Montes Rios Sierra Segura Carrillo Marcos Marti Soriano
Mendoza Berger Huber Bauer Wagner Becker Hoffmann Koch Richter Klein Schroeder Neumann
Schwarz Zimmermann Braun Krueger Hofmann Hartmann Lange Schmitt Werner Krause Lehmann""".split()
FIRST_NAMES = """Anna Barbara Sanna David Jan Maria Andreas Astrid Gabor Jakub Markus Daniel
Eva Petra Lena Sofia Marta Ines Clara Nora Paul Tomas Pedro Luca Marco Ivan Peter Karl
Hanna Julia Laura Ruth Olga Vera Irene Rosa Elena Alma""".split()

# Which teachers can teach a subject, and where it is taught.
FAMILY = {"LANG": "LANG", "ETH": "LANG", "MATH": "MATH", "PHYS": "MATH", "LABPHYS": "MATH",
          "IT": "IT", "ENG": "LNG", "GER": "LNG", "HIST": "HIST", "GEO": "HIST", "CIV": "HIST",
          "BIO": "SCI", "CHEM": "SCI", "LABBIO": "SCI", "LABCHEM": "SCI", "PE": "PE",
          "ART": "ARTS", "MUS": "ARTS", "ECON": "SOC", "SEM": "SOC"}
ROOM_KIND = {"PE": "GYM", "IT": "PC", "MUS": "MUSIC", "ART": "ARTR", "GER": "LNG",
             "LABBIO": "LAB", "LABCHEM": "LAB", "LABPHYS": "LAB"}
ROOM_TYPE = {"GYM": "gym", "PC": "computer room", "MUSIC": "music room", "ARTR": "art room",
             "LNG": "language room", "LAB": "laboratory"}
ROOM_PREFIX = {"GYM": "GYM", "PC": "PC", "MUSIC": "MUSIC", "ARTR": "ART", "LNG": "LNG", "LAB": "LAB"}
PROJECTOR_SUBJECTS = {"HIST", "GEO", "BIO", "ECON", "CIV"}
ASSISTED_SUBJECTS = {"LANG", "MATH"}
CART_SUBJECTS = {"SEM", "ECON"}
SCORES = [1, 2, 5, 10, 50]

# A unit is what the drawing places at one class cell: a single lesson
# ("S"), a double lesson ("D"), two single lessons back to back ("B"), an
# even-week lesson and an odd-week lesson at the same slot ("P"), or a
# double lesson of two parallel classes together ("J").
LOWER = [("S", "LANG")] * 5 + [("S", "MATH")] * 4 + [("S", "ENG")] * 3 + [("S", "HIST")] * 2 + [
    ("S", "GEO"), ("S", "BIO"), ("S", "BIO"), ("S", "IT"), ("D", "PE"), ("S", "PE"),
    ("P", "ART", "MUS"), ("S", "ART"), ("S", "MUS"), ("S", "ETH"), ("S", "SEM")]
UPPER = [("S", "LANG")] * 4 + [("S", "MATH")] * 4 + [("S", "ENG")] * 3 + [("S", "GER")] * 2 + [
    ("S", "HIST"), ("S", "HIST"), ("S", "GEO"), ("S", "BIO"), ("S", "CHEM"), ("S", "CHEM"),
    ("S", "PHYS"), ("S", "PHYS"), ("D", "IT"), ("D", "PE"), ("P", "ART", "MUS"),
    ("S", "ECON"), ("S", "CIV")]
FILLERS = ["MATH", "LANG", "ENG", "SEM", "HIST", "BIO"]
SHRINKABLE = ["SEM", "ETH", "CIV", "MUS", "GEO", "ECON", "ART", "HIST", "BIO", "ENG"]


def unit_length(unit):
    return 2 if unit[0] in "DBJ" else 1


class School:
    """The resources of the school and what the drawn timetable holds."""

    def __init__(self, args, rng):
        self.args, self.rng = args, rng
        self.D, self.S = args.days, args.slots
        self.busy = {}        # resource -> [set of slots in even week, in odd week]
        self.blocked = {}     # resource -> [slots a Break keeps free, per week]
        self.unavail = {}     # resource -> slots its own time preferences forbid
        self.avail_days = {}  # part-time teacher -> the days it comes
        self.breaks = {}      # resource -> Break
        self.lessons = []

    def add_resource(self, name):
        self.busy[name] = [set(), set()]
        self.blocked[name] = [set(), set()]
        self.unavail[name] = set()
        self.breaks[name] = 0

    def day_end(self, slot):
        return (slot // self.S + 1) * self.S

    def free(self, res, weeks, start, length):
        slots = range(start, start + length)
        if any(s in self.unavail[res] for s in slots):
            return False
        for w in weeks:
            if any(s in self.busy[res][w] or s in self.blocked[res][w] for s in slots):
                return False
            end = start + length
            after = range(end, min(end + self.breaks[res], self.day_end(start)))
            if any(s in self.busy[res][w] for s in after):
                return False
        return True

    def occupy(self, res, weeks, start, length):
        end = start + length
        for w in weeks:
            self.busy[res][w].update(range(start, end))
            self.blocked[res][w].update(range(end, min(end + self.breaks[res], self.day_end(start))))


def build_school(args, rng):
    school = School(args, rng)
    D, S = school.D, school.S
    weekly = max(12, min(D * S - 2, round(args.fill * D * S)))
    per_class = weekly - 1.5
    nb_classes = args.classes or max(3, round(args.lessons / per_class))
    # Grades of two to five parallel classes; many grades start from the first.
    per_grade = max(4 if nb_classes >= 12 else 3, math.ceil(nb_classes / 12))
    nb_grades = max(1, math.ceil(nb_classes / per_grade))
    first_grade = 5 if nb_grades <= 8 else max(1, 13 - nb_grades)
    classes = []  # (name, grade)
    for k in range(nb_classes):
        grade = first_grade + k % nb_grades
        index = sum(1 for _, g in classes if g == grade)
        classes.append((f"C_{grade}{'ABCDEFGHIJ'[index]}", grade))
    classes.sort(key=lambda c: (c[1], c[0]))
    school.classes = [name for name, _ in classes]
    school.grade = dict(classes)
    for c in school.classes:
        school.add_resource(c)

    # Each class's curriculum, fitted to its weekly slots.
    units = {}
    for c in school.classes:
        base = list(UPPER if school.grade[c] >= 8 else LOWER)
        if school.grade[c] >= 8:
            base.append(("D", rng.choice(["LABBIO", "LABCHEM", "LABPHYS"])))
        size = sum(unit_length(u) for u in base)
        k = 0
        while size < weekly:
            base.append(("S", FILLERS[k % len(FILLERS)]))
            size += 1
            k += 1
        for subject in SHRINKABLE:
            while size > weekly and ("S", subject) in base:
                base.remove(("S", subject))
                size -= 1
        # Two single lessons of a subject held back to back.
        for subject in ("MATH", "LANG", "ENG"):
            if base.count(("S", subject)) >= 4 and rng.random() < 0.35:
                base.remove(("S", subject))
                base.remove(("S", subject))
                base.append(("B", subject))
        units[c] = base
    # Parallel classes that take PE together.
    school.joint = []
    by_grade = {}
    for c in school.classes:
        by_grade.setdefault(school.grade[c], []).append(c)
    for grade, members in sorted(by_grade.items()):
        for a, b in zip(members[::2], members[1::2]):
            if rng.random() < 0.4:
                units[a].remove(("D", "PE"))
                units[b].remove(("D", "PE"))
                school.joint.append(("J", "PE", a, b))
    school.units = units

    # Teachers by subject family, each up to about half the week.
    school.teachers, school.teacher_name, school.family_of = [], {}, {}
    pools = {}
    load = {}
    cap = {}
    surnames = list(SURNAMES)
    rng.shuffle(surnames)

    def new_teacher(family):
        k = len(school.teachers)
        name = f"T_{surnames[k % len(surnames)]}" + (str(k // len(surnames) + 1) if k >= len(surnames) else "")
        school.teachers.append(name)
        school.teacher_name[name] = f"{rng.choice(FIRST_NAMES)} {name[2:]}"
        school.family_of[name] = family
        school.add_resource(name)
        pools.setdefault(family, []).append(name)
        load[name] = 0
        cap[name] = round(D * S * rng.uniform(0.42, 0.58))
        if rng.random() < 0.1:
            days = sorted(rng.sample(range(D), D - rng.choice([1, 2])))
            school.avail_days[name] = days
            cap[name] = cap[name] * len(days) // D
            school.unavail[name].update(s for s in range(D * S) if s // S not in days)
        elif rng.random() < 0.3:
            day = rng.randrange(D)
            periods = range(0, 2) if rng.random() < 0.5 else range(S - 3, S)
            school.unavail[name].update(day * S + p for p in periods)
        if rng.random() < 0.04:
            school.breaks[name] = 1
        return name

    def teacher_for(subject, hours):
        family = FAMILY[subject]
        pool = [t for t in pools.get(family, []) if load[t] + hours <= cap[t]]
        teacher = min(pool, key=lambda t: (load[t], rng.random())) if pool else new_teacher(family)
        load[teacher] += hours
        return teacher

    school.teacher_of = {}
    for c in school.classes:
        hours = {}
        for u in units[c]:
            for subject in u[1:]:
                hours[subject] = hours.get(subject, 0) + unit_length(u)
        for subject in sorted(hours, key=lambda s: (-hours[s], s)):
            school.teacher_of[(c, subject)] = teacher_for(subject, hours[subject])
    for j in school.joint:
        school.teacher_of[j] = teacher_for("PE", 2)

    # Rooms: home rooms by floor, special rooms by kind.
    school.rooms_by_kind = {}
    floors = {}
    for c in school.classes:
        floors.setdefault(min(3, (school.grade[c] - first_grade) * 3 // max(1, nb_grades)), []).append(c)
    school.floor_of = {}
    for f, members in sorted(floors.items()):
        rooms = [f"R_{f + 1}{k + 1:02d}" for k in range(len(members))]
        school.rooms_by_kind[f"FLOOR{f}"] = rooms
        for c in members:
            school.floor_of[c] = f"FLOOR{f}"
    demand = {}
    for c in school.classes:
        for u in units[c]:
            for subject in u[1:]:
                kind = ROOM_KIND.get(subject)
                if kind:
                    demand[kind] = demand.get(kind, 0) + unit_length(u)
    demand["GYM"] = demand.get("GYM", 0) + 2 * len(school.joint)
    for kind in sorted(demand):
        count = max(1, math.ceil(demand[kind] / (0.6 * D * S)))
        school.rooms_by_kind[kind] = [f"{ROOM_PREFIX[kind]}_{k + 1}" for k in range(count)]
    for rooms in school.rooms_by_kind.values():
        for r in rooms:
            school.add_resource(r)
    school.projectors = [f"PROJ_{k + 1}" for k in range(max(2, nb_classes // 6))]
    school.assistants = [f"TA_{surnames[-1 - k]}" for k in range(max(1, nb_classes // 12))]
    school.cart = "CART_1"
    for r in school.projectors + school.assistants + [school.cart]:
        school.add_resource(r)
    return school


class Lesson:
    def __init__(self, lid, subject, classes, teacher, length, week, start):
        self.id, self.subject, self.classes, self.teacher = lid, subject, classes, teacher
        self.length, self.week, self.start = length, week, start
        self.room_group, self.room = None, None
        self.projector_group, self.projector = None, None
        self.assistant, self.cart = None, False
        self.hard, self.soft = [], []  # the lesson's own time preferences
        self.unit = None               # the units of two lessons back to back share one

    def weeks(self):
        return WEEKS[self.week]

    def required(self):
        """The resources the lesson requires directly, in the file's order."""
        req = list(self.classes) + [self.teacher]
        if self.assistant:
            req.append(self.assistant)
        if self.room_group and len(self.room_group) == 1:
            req.append(self.room)
        if self.cart:
            req.append("CART_1")
        return req

    def chosen(self):
        """The members chosen from the lesson's groups, in the file's order."""
        out = []
        if self.room_group and len(self.room_group) > 1:
            out.append(self.room)
        if self.projector_group:
            out.append(self.projector)
        return out


def plant(school):
    """Draws the timetable: slot by slot, each class in school takes a lesson."""
    rng, D, S = school.rng, school.D, school.S
    remaining = {c: list(school.units[c]) for c in school.classes}
    joint = list(school.joint)
    # Each class's day: its periods from start to end, its weekly slots spread evenly.
    window = {}
    for c in school.classes:
        need = sum(unit_length(u) for u in remaining[c]) + 2 * sum(1 for j in joint if c in j[2:])
        per_day = [need // D + (1 if d < need % D else 0) for d in range(D)]
        rng.shuffle(per_day)
        for d in range(D):
            n = min(S, per_day[d])
            late = 1 if n < S and rng.random() < 0.12 else 0
            window[(c, d)] = [late, late + n]
    counters = {}
    held_today = {}

    def lesson_id(classes, subject):
        key = ("".join(k[2:] for k in classes), subject)
        counters[key] = counters.get(key, 0) + 1
        return f"L_{key[0]}_{subject}_{counters[key]}"

    def room_for(subject, classes, weeks, start, length):
        kind = ROOM_KIND.get(subject) or school.floor_of[classes[0]]
        rooms = [r for r in school.rooms_by_kind[kind] if school.free(r, weeks, start, length)]
        return (kind, rng.choice(rooms)) if rooms else (kind, None)

    def parts(c, unit):
        """(subject, week, offset, length) of each lesson of a unit."""
        if unit[0] == "P":
            return [(unit[1], "E", 0, 1), (unit[2], "O", 0, 1)]
        if unit[0] == "B":
            return [(unit[1], "A", 0, 1), (unit[1], "A", 1, 1)]
        return [(unit[1], "A", 0, unit_length(unit))]

    def teacher(c, unit, subject):
        return school.teacher_of[unit] if unit[0] == "J" else school.teacher_of[(c, subject)]

    def fits(c, unit, slot):
        """The rooms a unit would take at slot, or None when it does not fit."""
        classes = list(unit[2:]) if unit[0] == "J" else [c]
        start = slot
        if slot % S + unit_length(unit) > S:
            return None
        for k in classes:
            lo, hi = window[(k, slot // S)]
            if not (lo <= slot % S and slot % S + unit_length(unit) <= hi):
                return None
            if not school.free(k, (0, 1), start, unit_length(unit)):
                return None
        rooms = []
        for subject, week, offset, length in parts(c, unit):
            weeks = WEEKS[week]
            t = teacher(c, unit, subject)
            if not school.free(t, weeks, start + offset, length):
                return None
            if unit[0] == "B" and school.breaks[t]:
                return None  # a teacher who needs a break cannot teach two lessons in a row
            kind, room = room_for(subject, classes, weeks, start + offset, length)
            # Two lessons back to back keep their room.
            if unit[0] == "B" and rooms:
                room = rooms[0][1] if school.free(rooms[0][1], weeks, start + offset, length) else None
            if room is None:
                return None
            rooms.append((kind, room))
        return rooms

    def place(c, unit, slot, rooms):
        classes = list(unit[2:]) if unit[0] == "J" else [c]
        made = []
        for (subject, week, offset, length), (kind, room) in zip(parts(c, unit), rooms):
            t = teacher(c, unit, subject)
            lesson = Lesson(lesson_id(classes, subject), subject, classes, t, length, week, slot + offset)
            lesson.room_group, lesson.room = list(school.rooms_by_kind[kind]), room
            weeks = lesson.weeks()
            for k in classes:
                school.occupy(k, weeks, lesson.start, length)
            school.occupy(t, weeks, lesson.start, length)
            school.occupy(room, weeks, lesson.start, length)
            extras(lesson)
            made.append(lesson)
            for k in classes:
                held_today.setdefault((k, slot // S), set()).add(subject)
        if unit[0] == "B":
            made[0].unit = made[1].unit = made[0].id
        school.lessons.extend(made)

    def extras(lesson):
        """Projector, assistant and laptop cart, where one is free."""
        weeks, start, length = lesson.weeks(), lesson.start, lesson.length
        if lesson.subject in PROJECTOR_SUBJECTS and rng.random() < 0.3:
            free = [p for p in school.projectors if school.free(p, weeks, start, length)]
            if free:
                lesson.projector = rng.choice(free)
                group = rng.sample(school.projectors, min(3, len(school.projectors)))
                if lesson.projector not in group:
                    group[0] = lesson.projector
                lesson.projector_group = sorted(group)
                school.occupy(lesson.projector, weeks, start, length)
        if lesson.subject in ASSISTED_SUBJECTS and school.grade[lesson.classes[0]] < 8 and rng.random() < 0.15:
            free = [a for a in school.assistants if school.free(a, weeks, start, length)]
            if free:
                lesson.assistant = rng.choice(free)
                school.occupy(lesson.assistant, weeks, start, length)
        if lesson.subject in CART_SUBJECTS and rng.random() < 0.2 and school.free("CART_1", weeks, start, length):
            lesson.cart = True
            school.occupy("CART_1", weeks, start, length)

    teacher_left = {}
    for c in school.classes:
        for u in remaining[c]:
            for subject, _, _, length in parts(c, u):
                t = school.teacher_of[(c, subject)]
                teacher_left[t] = teacher_left.get(t, 0) + length

    def priority(c, unit, d):
        subject = unit[1]
        left = sum(1 for u in remaining[c] if u[1] == subject)
        days_left = D - d
        score = left / days_left + rng.random() * 0.5
        if subject in held_today.get((c, d), ()):
            score -= 3
        t = school.teacher_of.get((c, subject))
        if t:
            score += teacher_left.get(t, 0) / max(1, (D - d) * S) * 2
        if unit[0] in "DB":
            score += 0.3
        return score

    for d in range(D):
        for p in range(S):
            slot = d * S + p
            # Joint lessons first: both classes must be free together.
            rng.shuffle(joint)
            for j in list(joint):
                if rng.random() < 0.3 or d == D - 1:
                    rooms = fits(j[2], j, slot)
                    if rooms:
                        place(j[2], j, slot, rooms)
                        joint.remove(j)
            wanting = [c for c in school.classes
                       if window[(c, d)][0] <= p < window[(c, d)][1] and school.free(c, (0, 1), slot, 1)]
            options = {c: [u for u in dict.fromkeys(remaining[c]) if fits(c, u, slot)] for c in wanting}
            wanting.sort(key=lambda c: (len(options[c]), rng.random()))
            for c in wanting:
                choice = None
                for u in sorted(options[c], key=lambda u: -priority(c, u, d)):
                    rooms = fits(c, u, slot)
                    if rooms:
                        choice = (u, rooms)
                        break
                if choice is None:
                    # A class that cannot start its day begins later; one that
                    # cannot go on has a free period and stays a period longer.
                    lo, hi = window[(c, d)]
                    if not any(s in school.busy[c][0] for s in range(d * S, slot)):
                        window[(c, d)] = [lo + 1, min(S, hi + 1)]
                    else:
                        window[(c, d)] = [lo, min(S, hi + 1)]
                    continue
                u, rooms = choice
                remaining[c].remove(u)
                for subject, _, _, length in parts(c, u):
                    t = teacher(c, u, subject)
                    teacher_left[t] = teacher_left.get(t, 0) - length
                place(c, u, slot, rooms)
    school.left_out = sum(len(v) for v in remaining.values()) + len(joint)


def add_unavailability(school):
    """More unavailable slots: teachers at some of their free slots, classes
    after the end of some of their days and before some late starts, a few
    rooms at slots nobody uses them."""
    rng, D, S = school.rng, school.D, school.S
    for t in school.teachers:
        free = [s for s in range(D * S)
                if s not in school.unavail[t] and not any(s in school.busy[t][w] for w in (0, 1))]
        school.unavail[t].update(s for s in free if rng.random() < school.args.blocked)
    for c in school.classes:
        for d in range(D):
            used = sorted(s for s in range(d * S, d * S + S) if any(s in school.busy[c][w] for w in (0, 1)))
            if not used:
                continue
            if rng.random() < 0.3:
                school.unavail[c].update(range(used[-1] + 1, d * S + S))
            if used[0] > d * S and rng.random() < 0.4:
                school.unavail[c].update(range(d * S, used[0]))
    for kind, rooms in sorted(school.rooms_by_kind.items()):
        for r in rooms:
            if rng.random() < 0.2:
                free = [s for s in range(D * S) if not any(s in school.busy[r][w] for w in (0, 1))]
                if free:
                    school.unavail[r].update(rng.sample(free, min(len(free), rng.randint(1, 3))))
    # Lessons of their own: a few slots forbidden or disliked, never their own.
    for lesson in school.lessons:
        own = set(range(lesson.start, lesson.start + lesson.length))
        if rng.random() < 0.05:
            d = rng.randrange(D)
            lesson.hard = [s for s in range(d * S, d * S + S) if s not in own]
        if rng.random() < 0.04:
            others = [s for s in range(D * S) if s not in own]
            lesson.soft = [(s, rng.choice(SCORES)) for s in rng.sample(others, 2)]


class Planted:
    """What the drawn timetable holds for one resource, week by week and day by day."""

    def __init__(self, school, res):
        D, S = school.D, school.S
        self.days = []  # per week, per day: (busy, gaps, available slots before the start, longest run)
        for w in (0, 1):
            busy, unavail, kept = school.busy[res][w], school.unavail[res], school.blocked[res][w]
            week = []
            for d in range(D):
                day = range(d * S, d * S + S)
                used = [s for s in day if s in busy]
                if not used:
                    week.append(None)
                    continue
                gaps = sum(1 for s in range(used[0], used[-1] + 1)
                           if s not in busy and s not in unavail and s not in kept)
                before = sum(1 for s in range(d * S, used[0]) if s not in unavail)
                run = longest = 0
                for s in day:
                    run = run + 1 if s in busy else 0
                    longest = max(longest, run)
                week.append((len(used), gaps, before, longest))
            self.days.append(week)

    def working(self):
        return [day for week in self.days for day in week if day]

    def days_worked(self):
        return sum(1 for d in range(len(self.days[0])) if self.days[0][d] or self.days[1][d])

    def most_per_day(self):
        return max(day[0] for day in self.working())

    def fewest_per_day(self):
        return min(day[0] for day in self.working())

    def most_gaps_in_week(self):
        return max(sum(day[1] for day in week if day) for week in self.days)

    def most_gaps_in_day(self):
        return max(day[1] for day in self.working())

    def longest_run(self):
        return max(day[3] for day in self.working())

    def late_days(self):
        """Most late days in a week, or None when a day starts later than its second available slot."""
        if any(day[2] > 1 for day in self.working()):
            return None
        return max(sum(1 for day in week if day and day[2] == 1) for week in self.days)


class RuleMaker:
    """Draws the school rules off the drawn timetable."""

    def __init__(self, school):
        self.school, self.rng, self.args = school, school.rng, school.args
        self.resource_rules = {}  # resource -> [(element, value, score)]
        self.activity_rules = []  # (element, attributes, lesson ids, score)

    def chance(self, p):
        return self.rng.random() < min(1.0, p * self.args.rules)

    def loose(self):
        return self.rng.random() < self.args.slack

    def score(self):
        """None for a hard rule, else its score (now and then 0, which costs nothing)."""
        if self.rng.random() >= self.args.soft:
            return None
        return 0 if self.rng.random() < 0.05 else self.rng.choice(SCORES)

    def resource(self, res, element, value):
        self.resource_rules.setdefault(res, []).append((element, value, self.score()))

    def activity(self, element, lessons, attributes=None):
        self.activity_rules.append((element, attributes or {}, [lesson.id for lesson in lessons], self.score()))

    def resources(self):
        school = self.school
        D, S = school.D, school.S
        kinds = [("teacher", t) for t in school.teachers] + [("class", c) for c in school.classes]
        for who, res in kinds:
            planted = Planted(school, res)
            if not planted.working():
                continue
            teacher = who == "teacher"
            if self.chance(0.3 if teacher else 0.25):
                self.resource(res, "MaxPerDay", min(S, planted.most_per_day() + self.loose()))
            fewest = planted.fewest_per_day()
            if fewest >= 2 and self.chance(0.35 if teacher else 0.2):
                self.resource(res, "MinPerDay", max(1, fewest - self.loose()))
            if self.chance(0.25 if teacher else 0.3):
                self.resource(res, "MaxGaps", planted.most_gaps_in_week() + self.loose() * 2)
            if self.chance(0.3 if teacher else 0.2):
                self.resource(res, "MaxGapsPerDay", planted.most_gaps_in_day() + self.loose())
            worked = planted.days_worked()
            if worked >= 2 and self.chance(0.2):
                self.resource(res, "MinDays", max(1, worked - self.loose()))
            if self.chance(0.25 if teacher else 0.15):
                self.resource(res, "MaxConsecutive", min(S, planted.longest_run() + self.loose()))
            late = planted.late_days()
            if late is not None and self.chance(0.2 if teacher else 0.4):
                self.resource(res, "MaxLateStarts", min(D, late + self.loose()))

    def activities(self):
        school, rng, S = self.school, self.rng, self.school.S
        day = lambda lesson: lesson.start // S
        by_class = {}
        for lesson in school.lessons:
            for c in lesson.classes:
                by_class.setdefault(c, []).append(lesson)
        for c in school.classes:
            own = sorted(by_class.get(c, []), key=lambda lesson: (lesson.start, lesson.week))
            by_subject = {}
            for lesson in own:
                if len(lesson.classes) == 1:
                    by_subject.setdefault(lesson.subject, []).append(lesson)
            for subject, lessons in sorted(by_subject.items()):
                if len(lessons) < 2:
                    continue
                # A subject's lessons on different days: one lesson of each of its days.
                if self.chance(0.6):
                    per_day = {}
                    for lesson in rng.sample(lessons, len(lessons)):
                        per_day.setdefault(day(lesson), lesson)
                    chosen = sorted(per_day.values(), key=lambda lesson: lesson.id)
                    if len(chosen) >= 2:
                        days = sorted(per_day)
                        apart = min(b - a for a, b in zip(days, days[1:]))
                        # Schools ask for a day between lessons now and then, rarely more.
                        attributes = {}
                        if apart >= 2 and rng.random() < 0.4:
                            attributes = {"days": "1" if self.loose() else "2"}
                        self.activity("DifferentDays", chosen, attributes)
                # At most so many slots of a subject a day.
                if self.chance(0.12):
                    most = max(sum(lesson.length for lesson in lessons if day(lesson) == d and w in lesson.weeks())
                               for d in range(school.D) for w in (0, 1))
                    self.activity("DailyLimit", lessons, {"slots": str(most + self.loose())})
                # A subject at the same period on different days.
                by_period = {}
                for lesson in lessons:
                    by_period.setdefault(lesson.start % S, []).append(lesson)
                for period, same in sorted(by_period.items()):
                    if len(same) >= 2 and self.chance(0.06):
                        self.activity("SamePeriod", same[:3])
            # Lessons held back to back, on purpose or as they fell.
            for a, b in zip(own, own[1:]):
                follows = a.start + a.length == b.start and day(a) == day(b)
                if not follows or a.week != "A" or b.week != "A":
                    continue
                if (a.unit and a.unit == b.unit and self.chance(0.8)) or self.chance(0.06):
                    if rng.random() < 0.4:
                        pair = [b, a] if rng.random() < 0.5 else [a, b]
                        self.activity("Consecutive", pair, {"ordered": "no"})
                    else:
                        self.activity("Consecutive", [a, b])
            for a, b, z in zip(own, own[1:], own[2:]):
                if all(x.week == "A" for x in (a, b, z)) and day(a) == day(z) and \
                        a.start + a.length == b.start and b.start + b.length == z.start and self.chance(0.015):
                    self.activity("Consecutive", [a, b, z])
            # Two lessons of different subjects on one day.
            if self.chance(0.5):
                d = rng.randrange(school.D)
                today = [lesson for lesson in own if day(lesson) == d and len(lesson.classes) == 1]
                subjects = {}
                for lesson in today:
                    subjects.setdefault(lesson.subject, lesson)
                if len(subjects) >= 2:
                    self.activity("SameDay", rng.sample(sorted(subjects.values(), key=lambda x: x.id), 2))
            # The even-week and odd-week lessons of a pair, at the same period.
            for a, b in zip(own, own[1:]):
                if a.start == b.start and {a.week, b.week} == {"E", "O"} and self.chance(0.25):
                    self.activity("SamePeriod" if rng.random() < 0.7 else "SameDay", [a, b])
            # A lesson that ends its class's day.
            for d in range(school.D):
                today = [lesson for lesson in own if day(lesson) == d]
                if not today:
                    continue
                last = max(today, key=lambda lesson: lesson.start)
                if last.week == "A" and self.is_last(last) and self.chance(0.06):
                    self.activity("LastOfDay", [last])

    def is_last(self, lesson):
        school, S = self.school, self.school.S
        for other in school.lessons:
            if other is lesson or not set(other.classes) & set(lesson.classes):
                continue
            if not set(other.weeks()) & set(lesson.weeks()):
                continue
            if other.start // S == lesson.start // S and other.start >= lesson.start + lesson.length:
                return False
        return True

    def ensure_every_kind(self):
        """Small schools may draw no rule of a kind: add one where the timetable allows."""
        present = {element for rules in self.resource_rules.values() for element, _, _ in rules}
        present |= {rule[0] for rule in self.activity_rules}
        present |= {("DifferentDays", "days") for rule in self.activity_rules if "days" in rule[1]}
        present |= {("Consecutive", "no") for rule in self.activity_rules if rule[1].get("ordered") == "no"}
        saved = self.args.rules
        self.args.rules = 1e9
        for _ in range(3):
            missing = {"MaxPerDay", "MinPerDay", "MaxGaps", "MaxGapsPerDay", "MinDays", "MaxConsecutive",
                       "MaxLateStarts", "DifferentDays", "SameDay", "SamePeriod", "Consecutive",
                       "DailyLimit", "LastOfDay", ("DifferentDays", "days"), ("Consecutive", "no")} - present
            if not missing:
                break
            extra = RuleMaker(self.school)
            extra.args = self.args
            extra.resources()
            extra.activities()
            for res, rules in sorted(extra.resource_rules.items()):
                for rule in rules:
                    have = {element for element, _, _ in self.resource_rules.get(res, [])}
                    if rule[0] in missing and rule[0] not in present and rule[0] not in have:
                        self.resource_rules.setdefault(res, []).append(rule)
                        present.add(rule[0])
            for rule in extra.activity_rules:
                keys = [rule[0]]
                if "days" in rule[1]:
                    keys.append(("DifferentDays", "days"))
                if rule[1].get("ordered") == "no":
                    keys.append(("Consecutive", "no"))
                if any(k in missing and k not in present for k in keys):
                    self.activity_rules.append(rule)
                    present.update(keys)
        self.args.rules = saved


def existing_rules(school):
    """MaxDays, Continuous and Balanced where the drawn timetable keeps them."""
    rng, D, S = school.rng, school.D, school.S
    school.maxdays, school.continuous, school.balanced = {}, {}, {}
    for t in school.teachers:
        worked = sum(1 for d in range(D) if any(s // S == d for w in (0, 1) for s in school.busy[t][w]))
        if 0 < worked < D and (t in school.avail_days or rng.random() < 0.3):
            school.maxdays[t] = worked
    for c in school.classes:
        compact = True
        for w in (0, 1):
            for d in range(D):
                used = [s for s in range(d * S, d * S + S) if s in school.busy[c][w]]
                if used and used[-1] - used[0] + 1 != len(used):
                    compact = False
        if compact and rng.random() < 0.5:
            school.continuous[c] = None if rng.random() < 0.7 else rng.choice([5, 10, 20])
        load = [sum(1 for w in (0, 1) for s in school.busy[c][w] if s // S == d) for d in range(D)]
        if len(set(load)) == 1 and rng.random() < 0.5:
            school.balanced[c] = rng.choice([5, 10])


def dependences(school):
    """Dependences of every operator that the drawn timetable keeps."""
    rng, S = school.rng, school.S
    out = []
    by_class = {}
    for lesson in school.lessons:
        by_class.setdefault(lesson.classes[0], []).append(lesson)
    wanted = max(2, len(school.lessons) // 60)
    classes = sorted(by_class)
    for _ in range(wanted * 4):
        if len(out) >= wanted * 4 // 3:
            break
        own = by_class[rng.choice(classes)]
        a, b = rng.sample(own, 2)
        if a.start > b.start:
            a, b = b, a
        if a.start + a.length > b.start:
            continue
        same_day = a.start // S == b.start // S
        operator = rng.choice(["Before", "After"] + (["Closely before", "Closely after"] if same_day else []))
        first, second = (a, b) if "before" in operator.lower() else (b, a)
        out.append((first.id, second.id, operator, None if rng.random() < 0.5 else rng.randint(1, 20)))
    by_time = {}
    for lesson in school.lessons:
        by_time.setdefault((lesson.start, lesson.length), []).append(lesson)
    together = [same for _, same in sorted(by_time.items()) if len(same) >= 2]
    for same in rng.sample(together, min(len(together), wanted // 2 + 1)):
        a, b = rng.sample(same, 2)
        out.append((a.id, b.id, "Concurrently", None if rng.random() < 0.5 else rng.randint(1, 20)))
    return out


def slots_text(slots):
    """Slots as Hard/Avail texts, runs of consecutive slots as intervals."""
    slots = sorted(slots)
    runs = []
    for s in slots:
        if runs and runs[-1][1] == s - 1:
            runs[-1][1] = s
        else:
            runs.append([s, s])
    return [f"{a}#{b}" if b > a else str(a) for a, b in runs]


def write_problem(school, rules, deps, out):
    D, S = school.D, school.S
    lines = []

    def emit(depth, text):
        lines.append("  " * depth + text)

    def time_preferences(depth, hard, soft=(), avail=None):
        if not hard and not soft and avail is None:
            return
        emit(depth, "<TimePreferences>")
        if avail is not None:
            for text in slots_text(avail):
                emit(depth + 1, f"<Avail>{text}</Avail>")
        else:
            for text in slots_text(hard):
                emit(depth + 1, f"<Hard>{text}</Hard>")
        for slot, score in soft:
            emit(depth + 1, f'<Soft score="{score}">{slot}</Soft>')
        emit(depth, "</TimePreferences>")

    def school_rules(depth, res):
        if school.args.no_rules:
            return
        for element, value, score in rules.resource_rules.get(res, []):
            attribute = "" if score is None else f' score="{score}"'
            emit(depth, f"<{element}{attribute}>{value}</{element}>")

    def resource(depth, res, name=None, kind=None, year=None, soft=()):
        if name or kind or year or school.unavail[res] or soft or school.breaks[res] or \
                res in school.maxdays or res in school.continuous or res in school.balanced or \
                (res in rules.resource_rules and not school.args.no_rules):
            emit(depth, f'<Resource id="{res}">')
            if name:
                emit(depth + 1, f"<Name>{name}</Name>")
            if kind:
                emit(depth + 1, f"<Type>{kind}</Type>")
            if year:
                emit(depth + 1, f"<Year>{year}</Year>")
            if res in school.avail_days:
                avail = [s for s in range(D * S) if s not in school.unavail[res]]
                time_preferences(depth + 1, None, soft, avail)
            else:
                time_preferences(depth + 1, school.unavail[res], soft)
            if school.breaks[res]:
                emit(depth + 1, f"<Break>{school.breaks[res]}</Break>")
            if res in school.maxdays:
                emit(depth + 1, f"<MaxDays>{school.maxdays[res]}</MaxDays>")
            if res in school.balanced:
                emit(depth + 1, f'<Balanced score="{school.balanced[res]}"/>')
            if res in school.continuous:
                score = school.continuous[res]
                emit(depth + 1, "<Continuous/>" if score is None else f'<Continuous score="{score}"/>')
            school_rules(depth + 1, res)
            emit(depth, "</Resource>")
        else:
            emit(depth, f'<Resource id="{res}"/>')

    rng = random.Random(school.args.seed * 7919 + 1)  # soft slots, apart from the drawing

    def soft_slots(res):
        free = [s for s in range(D * S) if s not in school.unavail[res] and
                not any(s in school.busy[res][w] for w in (0, 1))]
        if not free or rng.random() > 0.3:
            return []
        return [(s, rng.choice(SCORES)) for s in sorted(rng.sample(free, min(len(free), rng.randint(1, 3))))]

    emit(0, '<?xml version="1.0" encoding="UTF-8"?>')
    emit(0, "<Timetable>")
    a = school.args
    size = f"--classes {a.classes}" if a.classes else f"--lessons {a.lessons}"
    emit(1, f"<Generator>make_rules_school.py {a.seed} {size} --days {a.days} --slots {a.slots} "
            f"--fill {a.fill} --blocked {a.blocked} --soft {a.soft} --slack {a.slack} --rules {a.rules}"
            f"{' --no-rules' if a.no_rules else ''}</Generator>")
    emit(1, "<Problem>")
    emit(2, "<General>")
    emit(3, f"<DaysPerWeek>{D}</DaysPerWeek>")
    emit(3, f"<SlotsPerDay>{S}</SlotsPerDay>")
    emit(2, "</General>")
    emit(2, "<Resources>")
    emit(3, "<Classrooms>")
    for kind, rooms in sorted(school.rooms_by_kind.items(), key=lambda k: (not k[0].startswith("FLOOR"), k[0])):
        for r in rooms:
            resource(4, r, kind=ROOM_TYPE.get(kind))
    emit(3, "</Classrooms>")
    emit(3, "<Teachers>")
    for t in school.teachers:
        resource(4, t, name=school.teacher_name[t], soft=soft_slots(t))
    for a in school.assistants:
        resource(4, a, name="teaching assistant")
    emit(3, "</Teachers>")
    emit(3, "<Classes>")
    for c in school.classes:
        resource(4, c, year=school.grade[c], soft=soft_slots(c))
    emit(3, "</Classes>")
    emit(3, "<Special>")
    for p in school.projectors:
        resource(4, p, kind="projector")
    resource(4, school.cart, kind="laptop cart")
    emit(3, "</Special>")
    emit(2, "</Resources>")
    emit(2, "<Activities>")
    for lesson in sorted(school.lessons, key=lambda x: x.id):
        emit(3, f'<Activity id="{lesson.id}">')
        emit(4, f"<Length>{lesson.length}</Length>")
        if lesson.week != "A":
            emit(4, f"<Week>{lesson.week}</Week>")
        time_preferences(4, lesson.hard, lesson.soft)
        emit(4, "<RequiredResources>")
        for c in lesson.classes:
            emit(5, f"<Resource>{c}</Resource>")
        emit(5, f"<Resource>{lesson.teacher}</Resource>")
        if lesson.assistant:
            emit(5, '<Group conjunctive="yes">')
            emit(6, f"<Resource>{lesson.assistant}</Resource>")
            emit(5, "</Group>")
        emit(5, "<Group>")
        for r in lesson.room_group:
            emit(6, f"<Resource>{r}</Resource>")
        emit(5, "</Group>")
        if lesson.projector_group:
            emit(5, "<Group>")
            for r in lesson.projector_group:
                emit(6, f"<Resource>{r}</Resource>")
            emit(5, "</Group>")
        if lesson.cart:
            emit(5, f"<Resource>{school.cart}</Resource>")
        emit(4, "</RequiredResources>")
        emit(3, "</Activity>")
    emit(2, "</Activities>")
    if deps:
        emit(2, "<Dependences>")
        for first, second, operator, score in deps:
            emit(3, "<Dependence>" if score is None else f'<Dependence score="{score}">')
            emit(4, f"<FirstActivity>{first}</FirstActivity>")
            emit(4, f"<SecondActivity>{second}</SecondActivity>")
            emit(4, f"<Operator>{operator}</Operator>")
            emit(3, "</Dependence>")
        emit(2, "</Dependences>")
    if rules.activity_rules and not school.args.no_rules:
        emit(2, "<ActivityRules>")
        for element, attributes, ids, score in rules.activity_rules:
            attrs = "".join(f' {k}="{v}"' for k, v in attributes.items())
            if score is not None:
                attrs += f' score="{score}"'
            emit(3, f"<{element}{attrs}>")
            for i in ids:
                emit(4, f"<Activity>{i}</Activity>")
            emit(3, f"</{element}>")
        emit(2, "</ActivityRules>")
    emit(1, "</Problem>")
    emit(0, "</Timetable>")
    out.write("\n".join(lines) + "\n")


def write_solution(school, path):
    with open(path, "w") as f:
        f.write('<?xml version="1.0" encoding="UTF-8"?>\n<Timetable>\n  <Solution>\n')
        for lesson in sorted(school.lessons, key=lambda x: x.id):
            used = "".join(f"<Resource>{r}</Resource>" for r in lesson.chosen() + lesson.required())
            f.write(f'    <Activity id="{lesson.id}"><StartTime>{lesson.start}</StartTime>'
                    f"<UsedResources>{used}</UsedResources></Activity>\n")
        f.write("  </Solution>\n</Timetable>\n")


def parse_args(argv):
    parser = argparse.ArgumentParser(
        prog="make_rules_school.py",
        usage="make_rules_school.py SEED [--lessons N | --classes C] [--days D] [--slots S] "
              "[--blocked B] [--soft SHARE] [--slack SHARE] [--rules DENSITY] [--no-rules] "
              "[--solution FILE] [-o FILE]")
    parser.add_argument("seed", type=int)
    parser.add_argument("--lessons", type=int, default=600, help="about this many lessons")
    parser.add_argument("--classes", type=int, help="this many classes (instead of --lessons)")
    parser.add_argument("--days", type=int, default=5)
    parser.add_argument("--slots", type=int, help="periods a day (default 8, 9 from 900 lessons, 10 from 1800)")
    parser.add_argument("--fill", type=float, default=0.72, help="share of a class's week taught")
    parser.add_argument("--blocked", type=float, default=0.15,
                        help="share of a teacher's free slots made unavailable")
    parser.add_argument("--soft", type=float, default=0.2, help="share of school rules given a score")
    parser.add_argument("--slack", type=float, default=0.2,
                        help="share of school rules set a little looser than the drawn timetable")
    parser.add_argument("--rules", type=float, default=1.0, help="how many school rules (1 = as usual)")
    parser.add_argument("--no-rules", action="store_true", help="write the school without the school rules")
    parser.add_argument("--solution", help="also write the drawn timetable here")
    parser.add_argument("-o", "--output", help="write the problem here instead of to standard output")
    args = parser.parse_args(argv)
    if args.slots is None:
        args.slots = 8 if args.lessons < 900 else 9 if args.lessons < 1800 else 10
    if not (1 <= args.days <= 7 and 4 <= args.slots <= 14) or args.lessons < 1 or \
            (args.classes is not None and args.classes < 1) or not 0 < args.fill <= 1 or \
            not all(0 <= x <= 1 for x in (args.blocked, args.soft, args.slack)) or args.rules < 0:
        parser.error("values out of range")
    return args


def main(argv):
    args = parse_args(argv)
    rng = random.Random(args.seed)
    school = build_school(args, rng)
    plant(school)
    add_unavailability(school)
    existing_rules(school)
    rules = RuleMaker(school)
    rules.resources()
    rules.activities()
    rules.ensure_every_kind()
    deps = dependences(school)
    if args.output:
        with open(args.output, "w") as out:
            write_problem(school, rules, deps, out)
    else:
        write_problem(school, rules, deps, sys.stdout)
    if args.solution:
        write_solution(school, args.solution)
    print(f"{len(school.lessons)} lessons, {len(school.classes)} classes, {len(school.teachers)} teachers, "
          f"{school.left_out} units left out of the drawing", file=sys.stderr)


if __name__ == "__main__":
    main(sys.argv[1:])
