#!/usr/bin/env bash
# The Python module as a user installs it: `pip install .` into a virtual environment that sees Debian's
# packages (nothing is downloaded), then the notebook executed with it, so that neither can rot.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
python=/usr/bin/python3 # as the main build
venv="$BUILD_DIR/python-venv"
rm -rf "$venv" "$ROOT/build/setuptools"
"$python" -m venv --system-site-packages "$venv"
(cd "$ROOT" && "$venv/bin/pip" install --no-build-isolation --no-index -q .)
# Away from the source tree, so that the installed copy is the one imported.
(cd "$BUILD_DIR" && "$venv/bin/python" -c 'import korvane_energy as k; r = k.calculate(); print(r); assert str(r) == "69%"')
# Debian's python3 kernel names /usr/bin/python3: the notebook runs on a kernel of the environment's own.
"$venv/bin/python" -m ipykernel install --prefix "$venv" --name korvane-venv >/dev/null
PYDEVD_DISABLE_FILE_VALIDATION=1 "$venv/bin/python" -m nbconvert --to notebook --execute \
    --ExecutePreprocessor.kernel_name=korvane-venv --output-dir "$BUILD_DIR/notebooks" \
    "$ROOT/docs/notebooks/building-stock.ipynb"
