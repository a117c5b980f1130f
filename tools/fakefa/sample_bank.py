#!/usr/bin/env python3
"""A small sample bank on the scripted SQL Server endpoint, for trying "Загрузить из Fa#" without a bank.

    sample_bank.py [--port 14330] [--settings uvoedit.ini]

Writes a settings file whose connection string points at the endpoint (an existing file is kept as
FILE.bak), then serves until it is ended (Ctrl+C). Log in as user "uvo" with the password "sample".
The bank has three financial operations and 36 credit contracts with Russian client names, all of
finance type 01 (the one its settings name) and dated within the last week, so that the import
dialog's preset period lists them all; a list asked for a period holds the contracts dated in it.
Every contract delivers a record of every active record type, and every seventh a few invalid values,
so that the editor's yellow cells show.
"""

import argparse
import datetime
import os
import random
import re
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import tds_endpoint  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
FORMAT_TEXT = os.path.join(HERE, "..", "..", "resources", "uvo_format.txt")
USER, PASSWORD = "uvo", "sample"

FINANCIAL_OPERATIONS = [(101, "Автокредиты", "АВТО"), (102, "Ипотечные кредиты", "ИПОТ"),
                        (103, "Потребительские кредиты", "ПОТР")]
SURNAMES = ["Иванов", "Смирнов", "Кузнецов", "Попов", "Васильев", "Петров", "Соколов", "Михайлов", "Новиков",
            "Фёдоров", "Морозов", "Волков", "Алексеев", "Лебедев", "Семёнов", "Егоров", "Павлов", "Козлов"]
FIRST_NAMES = ["Александр", "Сергей", "Дмитрий", "Андрей", "Алексей", "Ирина", "Елена", "Ольга", "Наталья"]
PATRONYMICS = ["Иванович", "Петрович", "Сергеевич", "Ивановна", "Петровна", "Сергеевна"]
CITIES = ["Москва", "Санкт-Петербург", "Казань", "Новосибирск", "Екатеринбург", "Самара"]
STREETS = ["ул. Ленина", "пр. Мира", "ул. Гагарина", "ул. Садовая", "Невский пр."]

# Fields whose value the sample chooses itself.
ACCOUNT, SURNAME, FIRST_NAME, MIDDLE_NAME = "310011", "310233", "310230", "310231"
SETTINGS = {"VersionNumber": "01", "SubscriberCode": "12345", "FinanceType": "01", "FormatID": "FORMAT01",
            "GroupID": "GROUP01", "UserID": "USER01", "SubscriberName": "АО Пример Банк"}


class Layouts:
    """The record layouts of the format description the editor carries."""

    def __init__(self, path):
        self.active, self.rules, self.codes = [], {}, {}
        section = ""
        with open(path, encoding="cp1251") as f:
            for line in f:
                line = line.strip()
                if line.startswith("[") and line.endswith("]"):
                    section = line[1:-1].upper()
                    continue
                fields = line.split(";")
                if section == "RECORDS" and len(fields) == 3 and fields[2] == "1":
                    self.active.append(fields[0])
                elif section == "VALUES" and len(fields) == 4 and not fields[3].startswith("Reserved"):
                    self.codes.setdefault(fields[1], []).append(fields[2])
                elif section == "FORMAT" and len(fields) == 7:
                    rec, fld, _, required, kind, width, domain = fields
                    self.rules.setdefault(rec, []).append((fld, required == "1", kind, int(width), domain))


class Contract:
    def __init__(self, number, rng, today):
        self.deal_id = 5000 + number
        self.fo = FINANCIAL_OPERATIONS[number % len(FINANCIAL_OPERATIONS)]
        self.date = today - datetime.timedelta(days=rng.randint(0, 7))  # the dialog's preset period
        self.number = "КД-%04d/%d" % (number, self.date.year)
        self.amount = rng.randint(50, 5000) * 1000
        self.fund = "RUR" if number % 9 else "USD"
        self.finance_type = SETTINGS["FinanceType"]
        self.surname = rng.choice(SURNAMES)
        self.first_name = rng.choice(FIRST_NAMES)
        female = self.first_name[-1] in "аяь"
        self.middle_name = rng.choice([p for p in PATRONYMICS if p.endswith("вна") == female])
        if female:
            self.surname += "а"
        self.client = "%s %s %s" % (self.surname, self.first_name, self.middle_name)
        self.account = "40817810%012d" % (1000 + number)
        self.flawed = number % 7 == 3


class SampleBank:
    def __init__(self, layouts, seed=11):
        self.layouts, self.rng = layouts, random.Random(seed)
        today = datetime.date.today()
        self.contracts = [Contract(n, self.rng, today) for n in range(1, 37)]

    def answer(self, command):
        if command.startswith("select InstrumentID,Name from tInstrument"):
            rows = [[fo_id, name] for fo_id, name, _ in sorted(FINANCIAL_OPERATIONS, key=lambda fo: fo[1])]
            return [{"columns": [["InstrumentID", "bigint"], ["Name", "nvarchar"]], "rows": rows}]
        call = re.fullmatch(r"exec UVOEditGetInfo '(\d{8})','(\d{8})',(\d+),'(\d*)',([012])", command)
        if not call:
            return None
        start, end, number, finance_type, mode = call.groups()
        if mode == "0":
            return self.contract_list(int(number), finance_type, start, end)
        contract = next((c for c in self.contracts if c.deal_id == int(number)), None)
        return self.records(contract, mode == "2") if contract else [{"count": 0}]

    def contract_list(self, fo_id, finance_type, start, end):
        columns = [["DealID", "bigint"], ["DealDate", "datetime"], ["DealNumber", "nvarchar"], ["FOBrief", "nvarchar"],
                   ["DealQty", "money"], ["Fund", "nvarchar"], ["ClName", "nvarchar"], ["FT", "nvarchar"]]
        rows = [[c.deal_id, c.date.isoformat(), c.number, c.fo[2], c.amount, c.fund, c.client, c.finance_type]
                for c in self.contracts
                if (fo_id in (0, c.fo[0])) and finance_type in ("", c.finance_type)
                and start <= c.date.strftime("%Y%m%d") <= end]
        return [{"count": len(rows)}, {"columns": columns, "rows": rows}]

    def records(self, contract, take_on):
        rng = random.Random(contract.deal_id * (2 if take_on else 1))
        reply = [{"count": 1}]
        for rec_id in self.layouts.active:
            if rec_id in ("300000", "300999"):
                continue
            rules = [r for r in self.layouts.rules.get(rec_id, []) if r[0] != "310000"]
            columns = [["RecID", "nvarchar"]] + [[fld, "nvarchar"] for fld, *_ in rules]
            count = 3 if take_on and rec_id == "300210" else 1
            rows = [[rec_id] + [self.value(contract, rule, rng) for rule in rules] for _ in range(count)]
            reply.append({"columns": columns, "rows": rows})
        if contract.flawed:
            # A numeric field with letters and a code that is not in its domain.
            first = reply[1]
            names = [name for name, _ in first["columns"]]
            for field, bad in (("310022", "12О00"), ("310016", "XYZ")):
                if field in names:
                    first["rows"][0][names.index(field)] = bad
        return reply

    def value(self, contract, rule, rng):
        field, required, kind, width, domain = rule
        if field == ACCOUNT:
            return contract.account
        if field == SURNAME:
            return contract.surname
        if field == FIRST_NAME:
            return contract.first_name
        if field == MIDDLE_NAME:
            return contract.middle_name
        if field == "310003":
            return contract.finance_type
        if not required and rng.random() < 0.4:
            return None
        codes = self.layouts.codes.get(domain)
        if codes:
            return rng.choice(codes)
        if kind == "D":
            return (contract.date + datetime.timedelta(days=rng.randint(0, 300))).strftime("%Y%m%d")
        if kind == "N":
            return str(rng.randint(1, 10 ** min(width, 9) - 1)).zfill(min(width, 2))
        text = rng.choice([rng.choice(CITIES), rng.choice(STREETS), contract.number, "д. %d" % rng.randint(1, 99)])
        return text[:width]


def settings_record(connection_string):
    """The editor's 360-byte settings record."""

    def text(value, capacity):
        data = value.encode("cp1251")[:capacity]
        return bytes([len(data)]) + data.ljust(capacity, b"\x00")

    out = text(connection_string, 255)
    for name, capacity in (("VersionNumber", 2), ("SubscriberCode", 5), ("FormatID", 10), ("GroupID", 12),
                           ("UserID", 12), ("SubscriberName", 40), ("FinanceType", 2)):
        out += text(SETTINGS[name], capacity)
    return out + bytes(6) + struct.pack("<q", 0)


def write_settings(path, port):
    if os.path.exists(path):
        os.replace(path, path + ".bak")
    connection = ("Provider=SQLOLEDB.1;Persist Security Info=False;User ID=%s;Initial Catalog=FA;"
                  "Data Source=127.0.0.1,%d" % (USER, port))
    with open(path, "wb") as f:
        f.write(settings_record(connection))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--port", type=int, default=14330, help="port on 127.0.0.1 (0 picks a free one)")
    parser.add_argument("--settings", default="uvoedit.ini", help="the settings file to write")
    args = parser.parse_args()
    bank = SampleBank(Layouts(FORMAT_TEXT))
    config = tds_endpoint.Config(tds_endpoint.Answers(fallback=bank.answer), USER, PASSWORD)
    tds_endpoint.serve(config, args.port, ready=lambda port: write_settings(args.settings, port))


if __name__ == "__main__":
    sys.exit(main())
