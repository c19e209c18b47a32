#!/usr/bin/env python3
"""Writes a tight school timetabling problem that is known to be solvable.

A timetable is drawn first (the planted one): every class has a lesson in
almost every slot of the week, teachers are drawn among those still free at
that slot, some lessons are double lessons, some are taught to two classes
together, some need a room from a group of special rooms. The problem then
asks for exactly those lessons, with the teachers unavailable at some of the
slots they are free in the planted timetable, so that the planted timetable
stays valid and the problem gets tighter. Used to check that the deep search
places every lesson on schools it has not been tuned on.

  make_tight_school.py SEED [--classes N] [--days D] [--slots S] [--fill F]
                       [--blocked B] [--solution FILE] > problem.xml
"""
import argparse
import random


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("seed", type=int)
    parser.add_argument("--classes", type=int, default=16)
    parser.add_argument("--days", type=int, default=5)
    parser.add_argument("--slots", type=int, default=7)
    parser.add_argument("--fill", type=float, default=0.95, help="share of a class's week taught")
    parser.add_argument("--blocked", type=float, default=0.5,
                        help="share of a teacher's free slots made unavailable")
    parser.add_argument("--compact", action="store_true",
                        help="each class's day runs without a gap from its first slot; classes get Continuous")
    parser.add_argument("--soft", type=float, default=0.0,
                        help="share of a teacher's free slots given a soft penalty")
    parser.add_argument("--together", type=float, default=0.0,
                        help="share of lessons tied to a lesson of another class at the same "
                             "time by a hard Concurrently dependence")
    parser.add_argument("--ordered", type=float, default=0.0,
                        help="share of a class's consecutive lessons bound by a hard "
                             "Closely before dependence")
    parser.add_argument("--maxdays", action="store_true",
                        help="teachers may work only on as many days as in the drawn timetable")
    parser.add_argument("--solution", help="also write the planted timetable here")
    args = parser.parse_args()
    rng = random.Random(args.seed)
    D, S, C = args.days, args.slots, args.classes
    nb_slots = D * S
    teachers = [f"T{i}" for i in range(int(C * 1.6) + 2)]
    special = [f"LAB{i}" for i in range(max(2, C // 5))]
    teacher_busy = {t: set() for t in teachers}
    class_busy = {c: set() for c in range(C)}
    room_busy = {r: set() for r in special}
    lessons = []  # (id, classes, teacher, start, length, room or None)

    def free(slot, length, classes, teacher):
        for s in range(slot, slot + length):
            if any(s in class_busy[c] for c in classes) or s in teacher_busy[teacher]:
                return False
        return True

    for c in range(C):
        own = rng.sample(teachers, 6)
        for day in range(D):
            s = day * S
            # A compact class's day ends early instead of having holes.
            day_end = day * S + S
            if args.compact:
                day_end = day * S + max(1, round(S * (args.fill + rng.uniform(-0.15, 0.05))))
                day_end = min(day_end, day * S + S)
            while s < day_end:
                if s in class_busy[c] or (not args.compact and rng.random() > args.fill):
                    s += 1
                    continue
                length = 2 if rng.random() < 0.2 and s + 1 < day_end and s + 1 not in class_busy[c] else 1
                classes = [c]
                partner = rng.randrange(C)
                if rng.random() < 0.08 and partner != c and all(
                        x not in class_busy[partner] for x in range(s, s + length)):
                    classes.append(partner)
                candidates = [t for t in own if free(s, length, classes, t)]
                if not candidates:
                    candidates = [t for t in teachers if free(s, length, classes, t)]
                if not candidates:
                    if args.compact:
                        break  # the day ends here rather than with a hole
                    s += 1
                    continue
                teacher = rng.choice(candidates)
                room = None
                if rng.random() < 0.25:
                    rooms = [r for r in special if all(x not in room_busy[r] for x in range(s, s + length))]
                    if rooms:
                        room = rng.choice(rooms)
                for x in range(s, s + length):
                    teacher_busy[teacher].add(x)
                    for k in classes:
                        class_busy[k].add(x)
                    if room:
                        room_busy[room].add(x)
                lessons.append((f"L{len(lessons)}", classes, teacher, s, length, room))
                s += length

    out = []
    out.append('<?xml version="1.0" encoding="UTF-8"?>')
    out.append(f"<!-- A tight school drawn with seed {args.seed}; solvable by construction. -->")
    out.append("<Timetable><Problem>")
    out.append(f"<General><DaysPerWeek>{D}</DaysPerWeek><SlotsPerDay>{S}</SlotsPerDay></General>")
    out.append("<Resources><Classrooms>")
    for r in special:
        out.append(f'<Resource id="{r}"/>')
    out.append("</Classrooms><Teachers>")
    for t in teachers:
        blocked = [x for x in range(nb_slots) if x not in teacher_busy[t] and rng.random() < args.blocked]
        prefs = "".join(f"<Hard>{x}</Hard>" for x in blocked)
        prefs += "".join(f'<Soft score="{rng.randint(1, 9)}">{x}</Soft>' for x in range(nb_slots)
                         if x not in teacher_busy[t] and x not in blocked and rng.random() < args.soft)
        rules = f"<TimePreferences>{prefs}</TimePreferences>" if prefs else ""
        if args.maxdays:
            days_used = len({x // S for x in teacher_busy[t]})
            if 0 < days_used < D:
                rules += f"<MaxDays>{days_used}</MaxDays>"
        out.append(f'<Resource id="{t}">' + rules + "</Resource>")
    out.append("</Teachers><Classes>")
    for c in range(C):
        out.append(f'<Resource id="C{c}"><Continuous/></Resource>' if args.compact else f'<Resource id="C{c}"/>')
    out.append("</Classes></Resources><Activities>")
    for lid, classes, teacher, s, length, room in lessons:
        req = f"<Resource>{teacher}</Resource>" + "".join(f"<Resource>C{k}</Resource>" for k in classes)
        if room:
            group = rng.sample(special, min(len(special), 3))
            if room not in group:
                group[0] = room
            req += "<Group>" + "".join(f"<Resource>{r}</Resource>" for r in group) + "</Group>"
        out.append(f'<Activity id="{lid}"><Length>{length}</Length><RequiredResources>{req}</RequiredResources></Activity>')
    out.append("</Activities>")
    # Lessons of the same start and length in other classes, tied together.
    pairs = []
    if args.together > 0:
        by_time = {}
        for lesson in lessons:
            by_time.setdefault((lesson[3], lesson[4]), []).append(lesson[0])
        for (start, length), ids in sorted(by_time.items()):
            for first, second in zip(ids, ids[1:]):
                if rng.random() < args.together:
                    pairs.append((first, second))
    pairs = [(first, second, "Concurrently") for first, second in pairs]
    # A class's lesson and the one right after it on the same day, in order.
    if args.ordered > 0:
        by_class = {}
        for lesson in lessons:
            for k in lesson[1]:
                by_class.setdefault(k, []).append(lesson)
        for k, own in sorted(by_class.items()):
            own.sort(key=lambda lesson: lesson[3])
            for first, second in zip(own, own[1:]):
                same_day = first[3] // S == second[3] // S
                if same_day and first[3] + first[4] <= second[3] and rng.random() < args.ordered:
                    pairs.append((first[0], second[0], "Closely before"))
    if pairs:
        out.append("<Dependences>")
        for first, second, operator in pairs:
            out.append(f"<Dependence><FirstActivity>{first}</FirstActivity><SecondActivity>{second}"
                       f"</SecondActivity><Operator>{operator}</Operator></Dependence>")
        out.append("</Dependences>")
    out.append("</Problem></Timetable>")
    print("\n".join(out))

    if args.solution:
        with open(args.solution, "w") as f:
            f.write('<?xml version="1.0" encoding="UTF-8"?>\n<Timetable><Solution>\n')
            for lid, classes, teacher, s, length, room in lessons:
                used = f"<Resource>{teacher}</Resource>" + "".join(f"<Resource>C{k}</Resource>" for k in classes)
                if room:
                    used = f"<Resource>{room}</Resource>" + used
                f.write(f'<Activity id="{lid}"><StartTime>{s}</StartTime><UsedResources>{used}</UsedResources></Activity>\n')
            f.write("</Solution></Timetable>\n")


if __name__ == "__main__":
    main()
