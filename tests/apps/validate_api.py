#!/usr/bin/env python3
"""Checks recorded answers of the HTTP interface against docs/api.yaml.

Each line of the record is a JSON object: method, path (as requested, without the query),
status, contentType, body. The path is matched against the document's path templates, the
status against the operation's responses, and a JSON body against the response's schema.
Exit status 1 with one line per mismatch.
"""
import json
import warnings
import re
import sys

import jsonschema
import yaml


def template_pattern(template):
    parts = re.split(r"\{[^/}]+\}", template)
    return re.compile("^" + "[^/]+".join(re.escape(part) for part in parts) + "$")


def operation_of(doc, method, path):
    for template, item in doc["paths"].items():
        if template_pattern(template).match(path):
            return item.get(method.lower()), template
    return None, None


def lookup(doc, ref):
    node = doc
    for part in ref.lstrip("#/").split("/"):
        node = node[part]
    return node


def main():
    warnings.simplefilter("ignore", DeprecationWarning)
    doc_path, record_path = sys.argv[1], sys.argv[2]
    with open(doc_path, encoding="utf-8") as file:
        doc = yaml.safe_load(file)
    resolver = jsonschema.RefResolver.from_schema(doc)
    problems = []
    count = 0
    with open(record_path, encoding="utf-8") as file:
        for line in file:
            if not line.strip():
                continue
            count += 1
            answer = json.loads(line)
            where = f'{answer["method"]} {answer["path"]} -> {answer["status"]}'
            operation, _ = operation_of(doc, answer["method"], answer["path"])
            responses = operation["responses"] if operation else None
            if responses is None:
                # Unknown paths and methods answer with the common error shape.
                if answer["status"] not in (404, 405, 400):
                    problems.append(f"{where}: not in the document")
                    continue
                response = doc["components"]["responses"]["Error"]
            else:
                response = responses.get(str(answer["status"])) or responses.get("default")
                if response is None:
                    problems.append(f"{where}: status not documented")
                    continue
            if "$ref" in response:
                response = lookup(doc, response["$ref"])
            content = response.get("content", {})
            media = answer["contentType"].split(";")[0].strip()
            if media not in content:
                problems.append(f"{where}: content type {media} not documented")
                continue
            if media != "application/json":
                continue
            schema = content[media]["schema"]
            try:
                jsonschema.validate(json.loads(answer["body"]), schema, resolver=resolver)
            except (jsonschema.ValidationError, json.JSONDecodeError) as failure:
                problems.append(f"{where}: {str(failure).splitlines()[0]}")
    for problem in problems:
        print(problem)
    if count == 0:
        print("no answers recorded")
        return 1
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
