# Runs after each file action has finished.
# Replace this with what should happen then, for instance sending a mail with smtplib.
import sys

print("Vesk: file action finished", file=sys.stderr)
