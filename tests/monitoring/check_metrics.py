"""Checks a metrics text with the Prometheus client's OpenMetrics parser, and that alert rules
read as YAML and name only metrics the text exports.

usage: check_metrics.py METRICS_FILE [RULES_FILE...]
"""
import re
import sys

import yaml
from prometheus_client.openmetrics.parser import text_string_to_metric_families


def exported_names(text):
    names = set()
    for family in text_string_to_metric_families(text):
        for sample in family.samples:
            names.add(sample.name)
    return names


def check_rules(path, names):
    with open(path, encoding="utf-8") as rules_file:
        document = yaml.safe_load(rules_file)
    problems = []
    for group in document["groups"]:
        for rule in group["rules"]:
            if "alert" not in rule or "expr" not in rule:
                problems.append(f"{path}: a rule without alert or expr: {rule}")
                continue
            for name in re.findall(r"\bmerovan_[a-z_]+", str(rule["expr"])):
                if name not in names:
                    problems.append(f"{path}: {rule['alert']} names {name}, not exported")
    return problems


def main():
    with open(sys.argv[1], encoding="utf-8") as metrics_file:
        text = metrics_file.read()
    names = exported_names(text)  # raises on anything the format does not allow
    problems = []
    for path in sys.argv[2:]:
        problems += check_rules(path, names)
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
