# The about box's operating-system and memory lines.
