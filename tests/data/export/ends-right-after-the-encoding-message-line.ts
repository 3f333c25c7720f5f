<TS><context>
<message encoding="UTF-8">
