"""What the Python test scripts share: counted checks with a closing line,
and a validator for one of the JSON schemas in docs/."""
import json
import os

failures = []
passed = 0


def check(name, condition, detail=""):
    global passed
    print(("ok   " if condition else "FAIL ") + name + (f" ({detail})" if detail and not condition else ""))
    if condition:
        passed += 1
    else:
        failures.append(name)


def summary():
    """Prints the closing count and gives the script's exit status."""
    print(f"{passed} passed, {len(failures)} failed")
    return 1 if failures else 0


def schema_validator(src, name):
    import jsonschema
    with open(os.path.join(src, "docs", name), encoding="utf-8") as f:
        schema = json.load(f)
    cls = jsonschema.validators.validator_for(schema)
    cls.check_schema(schema)
    return cls(schema)
