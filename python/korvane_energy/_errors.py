"""The exceptions of korvane_energy; the compiled engine raises them through the factories below."""

import re


class InputError(ValueError):
    """A value the calculator refuses. The message names the argument, the value and what is allowed.

    Attributes
    ----------
    number : int
        The run-time error number a batch row shows for it: 13 not a number, 6 out of range or too long,
        5 not allowed, 53 a room file that cannot be read, 321 one that is no usable room file.
    """

    def __init__(self, message, number):
        super().__init__(message)
        self.number = number

    def __reduce__(self):
        return (type(self), (str(self), self.number))


class CalculationError(RuntimeError):
    """An error the engine raised, with no result: number, source and description as the calculator's JSON."""

    def __init__(self, number, source, description):
        super().__init__(f"error {number}: {description} ({source})")
        self.number = number
        self.source = source
        self.description = description

    def __reduce__(self):
        return (type(self), (self.number, self.source, self.description))


def python_name(text):
    """An option or column name as the keyword argument it is in Python: window-type -> window_type."""
    return text.replace("-", "_")


def input_error(number, why):
    # The calculator names "--depth" or the column "window-height"; here they are keyword arguments.
    why = re.sub(r"--([a-z][a-z-]*)", lambda m: python_name(m.group(1)), why)
    label = re.match(r"^[a-z][a-z-]*(?=[: ])", why)
    if label:
        why = python_name(label.group(0)) + why[label.end():]
    return InputError(why, number)


def calculation_error(number, source, description):
    return CalculationError(number, source, description)


# Shown and pickled under the package's name, where users meet them.
InputError.__module__ = CalculationError.__module__ = "korvane_energy"
