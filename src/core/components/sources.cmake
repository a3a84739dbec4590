# The insertion pipeline and the component builders.
